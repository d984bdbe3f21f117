// Walking the lines of a text file held in memory, and naming a line in a
// message. A line ends at its '\n' or at the end of the file; a '\r' before
// the '\n' stays in the line.
#pragma once

#include "io/IoResult.h"

#include <cstring>
#include <string>
#include <string_view>

namespace pelmora::io {

// A failure at line `line` (from 1) of file `name`: "NAME:LINE: what".
inline IoResult LineError(const std::string &name, long line, const std::string &what)
{
  return IoResult::Fail(name + ":" + std::to_string(line) + ": " + what);
}

// The end of the line that starts at p: its '\n', or `end`.
inline const char *LineEnd(const char *p, const char *end)
{
  const void *found = std::memchr(p, '\n', size_t(end - p));
  return found ? static_cast<const char *>(found) : end;
}

// Calls onLine(line, first, end) for every line, numbered from 1, with its
// leading spaces, tabs and carriage returns skipped; stops at the first
// failure and returns it.
template <typename F> IoResult ForEachLine(std::string_view text, F onLine)
{
  const char *p = text.data();
  const char *const end = p + text.size();
  for (long line = 1; p < end; ++line) {
    const char *lineEnd = LineEnd(p, end);
    const char *first = p;
    while (first < lineEnd && (*first == ' ' || *first == '\t' || *first == '\r'))
      ++first;
    IoResult result = onLine(line, first, lineEnd);
    if (!result)
      return result;
    p = lineEnd + 1;
  }
  return IoResult::Ok();
}

} // namespace pelmora::io
