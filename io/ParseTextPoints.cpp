#include "io/ParseNumber.h"
#include "io/PointParsers.h"
#include "io/TextLines.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace pelmora::io {
namespace {

// How a line separates its fields: a semicolon anywhere makes commas decimal
// marks; otherwise a comma anywhere makes commas the separators.
enum class Separator
{
  Blanks,
  Commas,
  Semicolons
};

Separator SeparatorOf(std::string_view line)
{
  if (line.find(';') != std::string_view::npos)
    return Separator::Semicolons;
  if (line.find(',') != std::string_view::npos)
    return Separator::Commas;
  return Separator::Blanks;
}

std::string_view Trimmed(const char *begin, const char *end)
{
  while (begin != end && IsBlank(*begin))
    ++begin;
  while (end != begin && IsBlank(end[-1]))
    --end;
  return std::string_view(begin, size_t(end - begin));
}

// Up to `limit` fields of the line in `fields`; false when there are more.
bool SplitFields(std::string_view line, Separator separator, std::vector<std::string_view> &fields,
                 size_t limit)
{
  fields.clear();
  const char *p = line.data(), *const end = p + line.size();
  if (separator == Separator::Blanks) {
    for (std::string_view word = NextWord(p, end); !word.empty(); word = NextWord(p, end)) {
      if (fields.size() == limit)
        return false;
      fields.push_back(word);
    }
    return true;
  }
  const char mark = separator == Separator::Commas ? ',' : ';';
  while (true) {
    const char *next = static_cast<const char *>(std::memchr(p, mark, size_t(end - p)));
    if (fields.size() == limit)
      return false;
    fields.push_back(Trimmed(p, next ? next : end));
    if (!next)
      return true;
    p = next + 1;
  }
}

bool IsCommentStart(std::string_view line)
{
  char c = line[0];
  return c == '#' || c == '%' || c == '!' || c == ';' ||
         (c == '/' && line.size() > 1 && line[1] == '/');
}

// A line quoted in a message: at most this many characters, "..." included.
constexpr size_t kMaxLineExcerpt = 60;

std::string Excerpt(std::string_view text)
{
  std::string excerpt(Trimmed(text.data(), text.data() + text.size()));
  if (excerpt.size() > kMaxLineExcerpt)
    excerpt = excerpt.substr(0, kMaxLineExcerpt - 3) + "...";
  return excerpt;
}

// Before the first point: column titles (no field is a number in any form)
// and a point count (one whole number).
bool IsHeader(std::string_view line, Separator separator, std::vector<std::string_view> &fields)
{
  if (!SplitFields(line, separator, fields, size_t(-1)))
    return false;
  unsigned long long count;
  if (fields.size() == 1 && ParseCount(fields[0], count))
    return true;
  for (std::string_view field : fields)
    if (LooksNumeric(field))
      return false;
  return true;
}

// The common line "x y z ..." read in one pass, as strictly as ParseNumber
// reads each field; false sends the line to the general reading, which also
// words the errors.
bool ReadBlankSeparated(std::string_view line, double v[3])
{
  const char *p = line.data(), *const end = p + line.size();
  for (int k = 0; k < 3; ++k) {
    while (p != end && IsBlank(*p))
      ++p;
    const char *start = p != end && *p == '+' ? p + 1 : p;
    if (start != p && start != end && (*start == '-' || *start == '+'))
      return false;
    auto [next, error] = std::from_chars(start, end, v[k]);
    if (error != std::errc() || (next != end && !IsBlank(*next)))
      return false;
    p = next;
  }
  return IsFinitePoint(v[0], v[1], v[2]);
}

class LineReader
{
public:
  LineReader(const std::string &name, ON_3dPointArray &points) : m_name(name), m_points(points) {}

  IoResult Read(std::string_view line, long number)
  {
    const Separator separator = SeparatorOf(line);
    double v[3];
    if (m_seenPoint && separator == Separator::Blanks && ReadBlankSeparated(line, v)) {
      AppendPoint(m_points, v[0], v[1], v[2]);
      return IoResult::Ok();
    }
    if (!m_seenPoint && IsHeader(line, separator, m_fields))
      return IoResult::Ok();
    SplitFields(line, separator, m_fields, 3);
    const char mark = separator == Separator::Semicolons ? ',' : '.';
    if (m_fields.size() < 3)
      return Fail(number, "expected three coordinates x y z, found '" + Excerpt(line) + "'");
    for (int k = 0; k < 3; ++k) {
      NumberStatus status = ParseNumber(m_fields[k], v[k], mark);
      if (status == NumberStatus::OutOfRange)
        return Fail(number, "number out of range in '" + Excerpt(line) + "'");
      if (status != NumberStatus::Ok && mark == ',' &&
          m_fields[k].find('.') != std::string_view::npos &&
          m_fields[k].find(',') != std::string_view::npos)
        return Fail(number, "both '.' and ',' in '" + std::string(m_fields[k]) +
                                "' (a line separated by semicolons takes ',' as its decimal mark)");
      if (status != NumberStatus::Ok)
        return Fail(number, "expected three coordinates x y z, found '" + Excerpt(line) + "'");
      if (!std::isfinite(v[k]))
        return Fail(number, "non-finite coordinate in '" + Excerpt(line) + "'");
    }
    AppendPoint(m_points, v[0], v[1], v[2]);
    m_seenPoint = true;
    return IoResult::Ok();
  }

private:
  IoResult Fail(long number, const std::string &what) const
  {
    return LineError(m_name, number, what);
  }

  const std::string &m_name;
  ON_3dPointArray &m_points;
  std::vector<std::string_view> m_fields;
  bool m_seenPoint = false;
};

IoResult ReadLines(std::string_view text, const std::string &name, ON_3dPointArray &points)
{
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
    text.remove_prefix(3);
  // No reservation from the line count: blank lines must cost nothing.
  LineReader reader(name, points);
  return ForEachLine(text, [&](long number, const char *first, const char *end) {
    const std::string_view line = Trimmed(first, end);
    if (line.empty() || IsCommentStart(line))
      return IoResult::Ok();
    return reader.Read(line, number);
  });
}

} // namespace

IoResult ParseTextPoints(std::string_view text, const std::string &name, ON_3dPointArray &points)
{
  return ReadSomePoints(text, name, points, [&] { return ReadLines(text, name, points); });
}

} // namespace pelmora::io
