// Legacy VTK files read as point clouds: the points of a POLYDATA,
// UNSTRUCTURED_GRID or STRUCTURED_GRID data set, or the grid points of a
// STRUCTURED_POINTS or RECTILINEAR_GRID one, ASCII or BINARY (big-endian).
// Only what precedes and makes the points is read; cells and attributes
// that follow are not looked at. Every declared count is checked against
// the bytes the file has left before anything is allocated.
#include "io/BinaryScalar.h"
#include "io/ParseNumber.h"
#include "io/PointParsers.h"
#include "io/TextLines.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

namespace pelmora::io {
namespace {

// A grid made of a few numbers can declare any count: its points are built,
// so they are bounded by the file's size or this many, whichever is larger.
constexpr uint64_t kImplicitPointLimit = uint64_t(1) << 24;

// Components and tuples of a FIELD array are each at most this, so that
// their product cannot overflow.
constexpr uint64_t kMaxFieldArraySide = uint64_t(1) << 32;

std::string Upper(std::string_view word)
{
  std::string upper(word);
  for (char &c : upper)
    c = char(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// A legacy VTK type name as stored in BINARY files; "bit" and the
// platform-sized "long" types are not.
ScalarType BinaryType(const std::string &type)
{
  static const ScalarName kNames[] = {
      {"unsigned_char", ScalarType::UInt8},   {"char", ScalarType::Int8},
      {"unsigned_short", ScalarType::UInt16}, {"short", ScalarType::Int16},
      {"unsigned_int", ScalarType::UInt32},   {"int", ScalarType::Int32},
      {"float", ScalarType::Float32},         {"double", ScalarType::Float64},
      {"vtktypeint64", ScalarType::Int64},    {"vtktypeuint64", ScalarType::UInt64},
  };
  return FindScalarType(type, kNames);
}

// Appends the points of the grid spanned by three axes' coordinates, x
// varying fastest, then y, then z.
void AppendGrid(ON_3dPointArray &points, const std::vector<double> axes[3])
{
  ReservePoints(points, axes[0].size() * axes[1].size() * axes[2].size());
  for (double z : axes[2])
    for (double y : axes[1])
      for (double x : axes[0])
        AppendPoint(points, x, y, z);
}

class LegacyVtk
{
public:
  LegacyVtk(std::string_view data, const std::string &name) : m_data(data), m_name(name) {}

  IoResult Read(ON_3dPointArray &points)
  {
    IoResult header = ReadHeader();
    if (!header)
      return header;
    const std::string dataset = Upper(Word());
    if (dataset == "POLYDATA" || dataset == "UNSTRUCTURED_GRID" || dataset == "STRUCTURED_GRID")
      return ReadExplicitPoints(points);
    if (dataset == "STRUCTURED_POINTS")
      return ReadStructuredPoints(points);
    if (dataset == "RECTILINEAR_GRID")
      return ReadRectilinearGrid(points);
    return Fail("unknown data set type '" + FieldExcerpt(dataset) + "'");
  }

private:
  IoResult Fail(const std::string &what) const { return LineError(m_name, m_line, what); }

  // The next blank- or line-separated word; empty at the end of the file.
  std::string_view Word()
  {
    const char *const from = m_data.data() + m_pos;
    const char *p = from;
    const std::string_view word = NextSpacedWord(p, m_data.data() + m_data.size());
    m_line += std::count(from, word.data(), '\n');
    m_pos = size_t(p - m_data.data());
    return word;
  }

  // The rest of the current line, moving past its end.
  std::string_view RestOfLine()
  {
    const size_t end = std::min(m_data.find('\n', m_pos), m_data.size());
    std::string_view rest = m_data.substr(m_pos, end - m_pos);
    m_pos = std::min(end + 1, m_data.size());
    ++m_line;
    return rest;
  }

  bool Count(uint64_t &count)
  {
    unsigned long long value;
    if (!ParseCount(Word(), value))
      return false;
    count = value;
    return true;
  }

  IoResult ReadHeader()
  {
    m_line = 1;
    if (RestOfLine().compare(0, 22, "# vtk DataFile Version") != 0)
      return LineError(m_name, 1, "not a legacy VTK file (no '# vtk DataFile Version')");
    RestOfLine(); // the title
    const std::string format = Upper(Word());
    if (format != "ASCII" && format != "BINARY")
      return Fail("expected ASCII or BINARY, found '" + FieldExcerpt(format) + "'");
    m_binary = format == "BINARY";
    if (Upper(Word()) != "DATASET")
      return Fail("expected DATASET");
    return IoResult::Ok();
  }

  // `count` values of `type` into `values`, after the keyword's line.
  IoResult ReadValues(uint64_t count, const std::string &type, std::vector<double> &values)
  {
    const ScalarType binaryType = BinaryType(type);
    const size_t size = ScalarSize(binaryType);
    if (size == 0 && type != "long" && type != "unsigned_long")
      return Fail("unsupported data type '" + FieldExcerpt(type) + "'");
    const uint64_t left = m_data.size() - m_pos;
    if (m_binary) {
      if (size == 0)
        return Fail("unsupported binary data type '" + type + "'");
      const long keywordLine = m_line;
      RestOfLine(); // binary data starts on the next line
      if ((m_data.size() - m_pos) / size < count) {
        m_line = keywordLine;
        return Fail("the file ends before its " + std::to_string(count) + " values");
      }
      values.resize(size_t(count));
      const char *p = m_data.data() + m_pos;
      for (uint64_t i = 0; i < count; ++i, p += size)
        values[i] = LoadScalar(binaryType, p, true);
      m_pos += size_t(count * size);
      return IoResult::Ok();
    }
    // An ASCII value takes at least a digit and a separator.
    if ((left + 1) / 2 < count)
      return Fail("the file ends before its " + std::to_string(count) + " values");
    values.resize(size_t(count));
    for (uint64_t i = 0; i < count; ++i) {
      const std::string_view word = Word();
      if (word.empty())
        return Fail("the file ends before its " + std::to_string(count) + " values");
      if (ParseNumber(word, values[i]) != NumberStatus::Ok)
        return Fail("expected a number, found '" + FieldExcerpt(word) + "'");
    }
    return IoResult::Ok();
  }

  // Skips FIELD arrays, which may come before the points.
  IoResult SkipField()
  {
    Word(); // the field's name
    uint64_t arrays;
    if (!Count(arrays))
      return Fail("malformed FIELD line");
    for (uint64_t a = 0; a < arrays; ++a) {
      Word(); // the array's name
      uint64_t components, tuples;
      if (!Count(components) || !Count(tuples) || components > kMaxFieldArraySide ||
          tuples > kMaxFieldArraySide)
        return Fail("malformed FIELD array");
      const std::string type(Word());
      std::vector<double> skipped;
      IoResult read = ReadValues(components * tuples, type, skipped);
      if (!read)
        return read;
    }
    return IoResult::Ok();
  }

  IoResult ReadExplicitPoints(ON_3dPointArray &points)
  {
    while (true) {
      const std::string keyword = Upper(Word());
      if (keyword.empty())
        return Fail("no POINTS in the file");
      if (keyword == "FIELD") {
        IoResult skipped = SkipField();
        if (!skipped)
          return skipped;
        continue;
      }
      if (keyword == "DIMENSIONS") {
        uint64_t unused[3];
        IoResult read = ReadDimensions(unused);
        if (!read)
          return read;
        continue;
      }
      if (keyword != "POINTS")
        return Fail("expected POINTS, found '" + FieldExcerpt(keyword) + "'");
      uint64_t count;
      if (!Count(count) || count > uint64_t(INT_MAX) / 3)
        return Fail("malformed POINTS line");
      const std::string type(Word());
      std::vector<double> values;
      IoResult read = ReadValues(3 * count, type, values);
      if (!read)
        return read;
      AppendTriples(points, values);
      return IoResult::Ok();
    }
  }

  IoResult ReadDimensions(uint64_t dimensions[3])
  {
    for (int k = 0; k < 3; ++k)
      if (!Count(dimensions[k]))
        return Fail("malformed DIMENSIONS line");
    return IoResult::Ok();
  }

  // The DIMENSIONS of a grid whose points are built from a few numbers.
  IoResult ReadGridDimensions(uint64_t dimensions[3])
  {
    IoResult read = ReadDimensions(dimensions);
    if (!read)
      return read;
    const uint64_t limit = std::max<uint64_t>(kImplicitPointLimit, m_data.size());
    uint64_t count = 1;
    for (int k = 0; k < 3; ++k) {
      if (dimensions[k] == 0 || dimensions[k] > limit || count * dimensions[k] > limit)
        return Fail("DIMENSIONS declare more grid points than the file can describe");
      count *= dimensions[k];
    }
    return IoResult::Ok();
  }

  IoResult ReadTriple(const char *keyword, double values[3])
  {
    for (int k = 0; k < 3; ++k)
      if (ParseNumber(Word(), values[k]) != NumberStatus::Ok)
        return Fail(std::string("malformed ") + keyword + " line");
    return IoResult::Ok();
  }

  IoResult ReadStructuredPoints(ON_3dPointArray &points)
  {
    uint64_t dimensions[3] = {0, 0, 0};
    double origin[3] = {0, 0, 0}, spacing[3] = {1, 1, 1};
    bool haveDimensions = false;
    while (true) {
      const std::string keyword = Upper(Word());
      IoResult read = IoResult::Ok();
      if (keyword == "DIMENSIONS") {
        read = ReadGridDimensions(dimensions);
        haveDimensions = true;
      } else if (keyword == "ORIGIN") {
        read = ReadTriple("ORIGIN", origin);
      } else if (keyword == "SPACING" || keyword == "ASPECT_RATIO") {
        read = ReadTriple("SPACING", spacing);
      } else if (keyword == "FIELD") {
        read = SkipField();
      } else {
        break;
      }
      if (!read)
        return read;
    }
    if (!haveDimensions)
      return Fail("no DIMENSIONS in the file");
    std::vector<double> axes[3];
    for (int k = 0; k < 3; ++k) {
      axes[k].reserve(size_t(dimensions[k]));
      for (uint64_t i = 0; i < dimensions[k]; ++i)
        axes[k].push_back(origin[k] + double(i) * spacing[k]);
    }
    AppendGrid(points, axes);
    return IoResult::Ok();
  }

  IoResult ReadRectilinearGrid(ON_3dPointArray &points)
  {
    uint64_t dimensions[3] = {0, 0, 0};
    std::vector<double> axes[3];
    const char *names[3] = {"X_COORDINATES", "Y_COORDINATES", "Z_COORDINATES"};
    std::string keyword = Upper(Word());
    for (; keyword == "FIELD"; keyword = Upper(Word())) {
      IoResult skipped = SkipField();
      if (!skipped)
        return skipped;
    }
    if (keyword != "DIMENSIONS")
      return Fail("expected DIMENSIONS");
    IoResult size = ReadGridDimensions(dimensions);
    if (!size)
      return size;
    for (int k = 0; k < 3; ++k) {
      uint64_t count;
      if (Upper(Word()) != names[k] || !Count(count) || count != dimensions[k])
        return Fail(std::string("expected ") + names[k] + " " + std::to_string(dimensions[k]));
      IoResult read = ReadValues(count, std::string(Word()), axes[k]);
      if (!read)
        return read;
    }
    AppendGrid(points, axes);
    return IoResult::Ok();
  }

  std::string_view m_data;
  const std::string &m_name;
  size_t m_pos = 0;
  long m_line = 1;
  bool m_binary = false;
};

} // namespace

IoResult ParseLegacyVtkPoints(std::string_view data, const std::string &name,
                              ON_3dPointArray &points)
{
  return ReadSomePoints(data, name, points, [&] { return LegacyVtk(data, name).Read(points); });
}

} // namespace pelmora::io
