// OFF meshes read as point clouds: their vertices.
#include "io/ParseNumber.h"
#include "io/PointParsers.h"
#include "io/TextLines.h"

#include <cstring>

namespace pelmora::io {
namespace {

// Lines with their '#' comments cut and blank lines skipped.
class OffLines
{
public:
  explicit OffLines(std::string_view text) : m_p(text.data()), m_end(text.data() + text.size()) {}

  bool Next(const char *&begin, const char *&end)
  {
    while (m_p < m_end) {
      const char *lineEnd = LineEnd(m_p, m_end);
      begin = m_p;
      const char *comment = static_cast<const char *>(std::memchr(m_p, '#', size_t(lineEnd - m_p)));
      end = comment ? comment : lineEnd;
      m_p = lineEnd + 1;
      ++m_line;
      const char *probe = begin;
      if (!NextWord(probe, end).empty())
        return true;
    }
    return false;
  }
  long Line() const { return m_line; }
  size_t Left() const { return m_p < m_end ? size_t(m_end - m_p) : 0; }

private:
  const char *m_p, *m_end;
  long m_line = 0;
};

// "OFF" with the optional prefixes of its variants: ST (texture), C
// (colour), N (normal). Four-dimensional and binary variants are refused.
bool IsOffKeyword(std::string_view word)
{
  if (word.size() < 3 || word.substr(word.size() - 3) != "OFF")
    return false;
  for (char c : word.substr(0, word.size() - 3))
    if (c != 'S' && c != 'T' && c != 'C' && c != 'N')
      return false;
  return true;
}

IoResult ReadOffVertices(std::string_view text, const std::string &name, ON_3dPointArray &points)
{
  OffLines lines(text);
  const char *p, *end;
  auto fail = [&](const std::string &what) { return LineError(name, lines.Line(), what); };
  if (!lines.Next(p, end) || !IsOffKeyword(NextWord(p, end)))
    return fail("not an OFF file (it does not start with 'OFF')");
  // The counts may follow the keyword on its line.
  const char *probe = p;
  const std::string_view after = NextWord(probe, end);
  if (after == "BINARY")
    return fail("binary OFF files are not supported");
  if (after.empty() && !lines.Next(p, end))
    return fail("no vertex count");
  unsigned long long vertices;
  if (!ParseCount(NextWord(p, end), vertices))
    return fail("expected the vertex, face and edge counts");
  // A vertex line takes at least six bytes ("0 0 0\n").
  if (vertices > lines.Left() / 6 + 1 || vertices > uint64_t(INT_MAX))
    return fail("the file is too short for its " + std::to_string(vertices) + " vertices");
  ReservePoints(points, size_t(vertices));
  for (unsigned long long v = 0; v < vertices; ++v) {
    if (!lines.Next(p, end))
      return IoResult::Fail(name + ": the file ends after " + std::to_string(v) + " of its " +
                            std::to_string(vertices) + " vertices");
    double xyz[3];
    for (double &value : xyz)
      if (ParseNumber(NextWord(p, end), value) != NumberStatus::Ok)
        return fail("expected three coordinates");
    AppendPoint(points, xyz[0], xyz[1], xyz[2]);
  }
  return IoResult::Ok();
}

} // namespace

IoResult ParseOffPoints(std::string_view text, const std::string &name, ON_3dPointArray &points)
{
  return ReadSomePoints(text, name, points, [&] { return ReadOffVertices(text, name, points); });
}

} // namespace pelmora::io
