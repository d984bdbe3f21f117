// STL and OBJ files read as point clouds: their vertices.
#include "io/ParseNumber.h"
#include "io/PointParsers.h"
#include "io/TextLines.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace pelmora::io {
namespace {

// Binary STL: an 80-byte header, the triangle count (4 bytes), then 50 bytes
// a triangle: its normal, its three corners (three floats each) and 2 bytes
// of attributes.
constexpr size_t kStlCountOffset = 80;
constexpr size_t kStlFirstTriangle = kStlCountOffset + 4;
constexpr size_t kStlTriangleBytes = 50;
constexpr size_t kStlCornerBytes = 3 * sizeof(float);

struct CornerKey
{
  double x, y, z;
  bool operator==(const CornerKey &other) const
  {
    return std::memcmp(this, &other, sizeof(CornerKey)) == 0;
  }
};

struct CornerHash
{
  size_t operator()(const CornerKey &key) const
  {
    uint64_t words[3];
    std::memcpy(words, &key, sizeof words);
    uint64_t h = words[0] * 0x9E3779B97F4A7C15ull;
    h ^= words[1] + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
    h ^= words[2] + 0x94D049BB133111EBull + (h << 6) + (h >> 2);
    return size_t(h);
  }
};

// Collects distinct corners in order of first appearance (+0 and -0 are one).
class CornerSet
{
public:
  explicit CornerSet(ON_3dPointArray &points) : m_points(points) {}
  void Add(double x, double y, double z)
  {
    CornerKey key{x + 0.0, y + 0.0, z + 0.0};
    if (m_seen.emplace(key, 0).second)
      AppendPoint(m_points, key.x, key.y, key.z);
  }

private:
  ON_3dPointArray &m_points;
  std::unordered_map<CornerKey, int, CornerHash> m_seen;
};

bool LooksBinaryStl(std::string_view data)
{
  if (data.size() < kStlFirstTriangle)
    return false;
  uint32_t triangles;
  std::memcpy(&triangles, data.data() + kStlCountOffset, sizeof triangles);
  return data.size() == kStlFirstTriangle + kStlTriangleBytes * uint64_t(triangles);
}

// Cannot fail: LooksBinaryStl has matched the size to the triangle count.
void ParseBinaryStl(std::string_view data, ON_3dPointArray &points)
{
  uint32_t triangles;
  std::memcpy(&triangles, data.data() + kStlCountOffset, sizeof triangles);
  CornerSet corners(points);
  const char *p = data.data() + kStlFirstTriangle;
  for (uint32_t t = 0; t < triangles; ++t, p += kStlTriangleBytes)
    for (int corner = 0; corner < 3; ++corner) {
      float v[3];
      static_assert(sizeof v == kStlCornerBytes, "a corner is three floats");
      std::memcpy(v, p + kStlCornerBytes * (1 + corner), sizeof v); // after the normal
      corners.Add(v[0], v[1], v[2]);
    }
}

bool StartsWithWord(const char *p, const char *end, const char *word, size_t length)
{
  return size_t(end - p) > length && std::memcmp(p, word, length) == 0 &&
         (p[length] == ' ' || p[length] == '\t');
}

// Three numbers starting at p; with `alone`, nothing may follow them.
IoResult ReadCoordinates(const std::string &name, long line, const char *p, const char *end,
                         double v[3], bool alone)
{
  for (int k = 0; k < 3; ++k)
    if (ParseNumber(NextWord(p, end), v[k]) != NumberStatus::Ok)
      return LineError(name, line, "expected three coordinates");
  if (alone && !NextWord(p, end).empty())
    return LineError(name, line, "expected three coordinates");
  if (!IsFinitePoint(v[0], v[1], v[2]))
    return LineError(name, line, "non-finite coordinate");
  return IoResult::Ok();
}

// ASCII STL: solids of facets, each facet three vertices between "facet"
// and "endfacet"; a file cut anywhere fails.
class AsciiStl
{
public:
  AsciiStl(const std::string &name, ON_3dPointArray &points) : m_name(name), m_corners(points) {}

  IoResult Line(long line, const char *p, const char *end)
  {
    m_line = line;
    const char *rest = p;
    const std::string_view word = NextWord(rest, end);
    if (word.empty())
      return IoResult::Ok();
    if (word == "solid")
      return Enter(!m_inSolid, m_inSolid, "'solid' inside a solid");
    if (word == "endsolid")
      return Leave(m_inSolid && !m_inFacet, m_inSolid, "'endsolid' out of place");
    if (word == "facet") {
      m_vertices = 0;
      return Enter(m_inSolid && !m_inFacet, m_inFacet, "'facet' out of place");
    }
    if (word == "endfacet")
      return Leave(m_inFacet && m_vertices == 3, m_inFacet, "a facet without three vertices");
    if (word == "vertex") {
      if (!m_inFacet || ++m_vertices > 3)
        return Fail(m_line, "a vertex outside a facet or a facet with more than three");
      double v[3];
      IoResult coordinates = ReadCoordinates(m_name, line, rest, end, v, true);
      if (coordinates)
        m_corners.Add(v[0], v[1], v[2]);
      return coordinates;
    }
    if (word == "outer" || word == "endloop")
      return IoResult::Ok();
    return Fail(m_line, "unexpected '" + FieldExcerpt(word) + "' in STL file");
  }

  IoResult End()
  {
    if (m_inFacet)
      return Fail(m_line, "the file ends inside a facet");
    if (m_inSolid)
      return Fail(m_line, "the file ends before 'endsolid'");
    return IoResult::Ok();
  }

private:
  IoResult Enter(bool allowed, bool &state, const char *misplaced)
  {
    state = true;
    return allowed ? IoResult::Ok() : Fail(m_line, misplaced);
  }
  IoResult Leave(bool allowed, bool &state, const char *misplaced)
  {
    state = false;
    return allowed ? IoResult::Ok() : Fail(m_line, misplaced);
  }
  IoResult Fail(long line, const std::string &what) const { return LineError(m_name, line, what); }

  const std::string &m_name;
  CornerSet m_corners;
  long m_line = 0;
  bool m_inSolid = false, m_inFacet = false;
  int m_vertices = 0;
};

} // namespace

IoResult ParseStlPoints(std::string_view data, const std::string &name, ON_3dPointArray &points)
{
  return ReadSomePoints(data, name, points, [&] {
    if (LooksBinaryStl(data)) {
      ParseBinaryStl(data, points);
      return IoResult::Ok();
    }
    if (data.compare(0, 5, "solid") != 0)
      return IoResult::Fail(name + ": not an STL file (neither 'solid' text nor a binary STL "
                                   "whose size matches its triangle count)");
    AsciiStl stl(name, points);
    IoResult read = ForEachLine(
        data, [&](long line, const char *p, const char *end) { return stl.Line(line, p, end); });
    return read ? stl.End() : read;
  });
}

IoResult ParseObjPoints(std::string_view text, const std::string &name, ON_3dPointArray &points)
{
  return ReadSomePoints(text, name, points, [&] {
    return ForEachLine(text, [&](long line, const char *p, const char *end) {
      if (!StartsWithWord(p, end, "v", 1))
        return IoResult::Ok();
      double v[3];
      IoResult coordinates = ReadCoordinates(name, line, p + 1, end, v, false);
      if (coordinates)
        AppendPoint(points, v[0], v[1], v[2]);
      return coordinates;
    });
  });
}

} // namespace pelmora::io
