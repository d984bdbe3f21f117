// Text written to a file in large blocks, with numbers formatted in place:
// reals in their shortest form that reads back to the same double. Every
// failure (open, write, close) is kept and reported once, by Close.
#pragma once

#include "io/IoResult.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelmora::io {

// The shortest decimal form of a finite x that reads back as x, always with
// a decimal point and an upper-case exponent ("0.", "2.5", "1.E-07"), as
// exchange formats want their reals. Writes at most kRealChars characters;
// returns the end.
constexpr int kRealChars = 26;
char *FormatReal(char *out, double x);

class TextOutput
{
public:
  explicit TextOutput(const std::string &path);
  ~TextOutput();
  TextOutput(const TextOutput &) = delete;
  TextOutput &operator=(const TextOutput &) = delete;

  void Put(std::string_view text)
  {
    if (text.size() > m_buffer.size() - m_used)
      Flush();
    if (text.size() > m_buffer.size() - m_used)
      return WriteDirect(text);
    text.copy(m_buffer.data() + m_used, text.size());
    m_used += text.size();
  }
  void Put(char c)
  {
    if (m_used == m_buffer.size())
      Flush();
    m_buffer[m_used++] = c;
  }
  void PutInt(long long value);
  void PutReal(double value);

  // Bytes put so far.
  size_t Offset() const { return m_flushed + m_used; }
  // Overwrites bytes put earlier, from `offset` on.
  void Patch(size_t offset, std::string_view text);

  // Writes what is buffered and closes; "cannot write TARGET: <reason>" on
  // any failure since the file was opened.
  IoResult Close(const std::string &target);

private:
  void Flush();
  void WriteDirect(std::string_view text);

  int m_fd;
  int m_error = 0;
  std::vector<char> m_buffer;
  size_t m_used = 0;
  size_t m_flushed = 0;
};

} // namespace pelmora::io
