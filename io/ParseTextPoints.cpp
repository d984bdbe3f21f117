#include "io/PointParsers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

namespace pelmora::io {
namespace {

bool IsBlank(char c)
{
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

const char *SkipBlanks(const char *p, const char *end)
{
  while (p != end && IsBlank(*p))
    ++p;
  return p;
}

bool IsCommentStart(const char *p, const char *end)
{
  char c = *p;
  return c == '#' || c == '%' || c == '!' || c == ';' || (c == '/' && p + 1 != end && p[1] == '/');
}

std::string Excerpt(const char *begin, const char *end)
{
  std::string text(begin, end);
  while (!text.empty() && IsBlank(text.back()))
    text.pop_back();
  if (text.size() > 60)
    text = text.substr(0, 57) + "...";
  return text;
}

} // namespace

int ParseLeadingNumbers(const char *begin, const char *end, double values[3], const char *&rest,
                        bool &clean)
{
  const char *p = SkipBlanks(begin, end);
  int count = 0;
  clean = true;
  while (count < 3 && p != end) {
    const char *start = (*p == '+' && p + 1 != end) ? p + 1 : p;
    auto [next, error] = std::from_chars(start, end, values[count]);
    if (error != std::errc() || (next != end && !IsBlank(*next) && *next != ',' && *next != ';')) {
      clean = false;
      break;
    }
    ++count;
    p = SkipBlanks(next, end);
    if (p != end && (*p == ',' || *p == ';'))
      p = SkipBlanks(p + 1, end);
  }
  rest = p;
  return count;
}

IoResult ParseTextPoints(std::string_view text, const std::string &name, ON_3dPointArray &points)
{
  if (text.empty())
    return IoResult::Fail(name + ": the file is empty");
  const char *p = text.data();
  const char *const end = p + text.size();
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
    p += 3;
  size_t lines = 1;
  for (const char *q = p; (q = static_cast<const char *>(std::memchr(q, '\n', size_t(end - q))));
       ++q)
    ++lines;
  if (lines > size_t(INT_MAX - points.Count()))
    return IoResult::Fail(name + ": too many lines (" + std::to_string(lines) + ")");
  points.Reserve(size_t(points.Count()) + lines);
  bool seenPoint = false;
  for (long line = 1; p < end; ++line) {
    const char *lineEnd = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
    if (!lineEnd)
      lineEnd = end;
    const char *first = SkipBlanks(p, lineEnd);
    const char *lineStart = p;
    p = lineEnd + 1;
    if (first == lineEnd || IsCommentStart(first, lineEnd))
      continue;
    double v[3];
    const char *rest;
    bool clean;
    int count = ParseLeadingNumbers(first, lineEnd, v, rest, clean);
    if (count == 3) {
      if (!std::isfinite(v[0]) || !std::isfinite(v[1]) || !std::isfinite(v[2]))
        return IoResult::Fail(name + ":" + std::to_string(line) + ": non-finite coordinate in '" +
                              Excerpt(lineStart, lineEnd) + "'");
      points.Append(ON_3dPoint(v[0], v[1], v[2]));
      seenPoint = true;
      continue;
    }
    bool header = !seenPoint && (count == 0 || (count == 1 && clean && rest == lineEnd &&
                                                v[0] == std::floor(v[0]) && v[0] >= 0));
    if (!header)
      return IoResult::Fail(name + ":" + std::to_string(line) +
                            ": expected three coordinates x y z, found '" +
                            Excerpt(lineStart, lineEnd) + "'");
  }
  if (!seenPoint)
    return IoResult::Fail(name + ": no points found");
  return IoResult::Ok();
}

} // namespace pelmora::io
