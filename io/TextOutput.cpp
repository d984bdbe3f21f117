#include "io/TextOutput.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace pelmora::io {
namespace {

constexpr size_t kBlock = size_t(4) << 20; // bytes per write

// Writes all of `text` to `fd`, at `offset` when it is not negative (else at
// the file position), retrying short and interrupted writes. Returns 0 or the
// error number (EIO for a write that makes no progress).
int WriteAll(int fd, std::string_view text, off_t offset)
{
  while (!text.empty()) {
    const ssize_t written = offset < 0 ? ::write(fd, text.data(), text.size())
                                       : ::pwrite(fd, text.data(), text.size(), offset);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return written < 0 ? errno : EIO;
    text.remove_prefix(size_t(written));
    if (offset >= 0)
      offset += off_t(written);
  }
  return 0;
}

} // namespace

char *FormatReal(char *out, double x)
{
  char digits[kRealChars];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, x);
  const char *mark = digits;
  bool point = false;
  while (mark != end && *mark != 'e') {
    point = point || *mark == '.';
    *out++ = *mark++;
  }
  if (!point)
    *out++ = '.';
  if (mark != end) {
    *out++ = 'E';
    for (++mark; mark != end; ++mark)
      *out++ = *mark;
  }
  (void)error; // a double always fits
  return out;
}

TextOutput::TextOutput(const std::string &path)
    : m_fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC)), m_buffer(kBlock)
{
  if (m_fd < 0)
    m_error = errno;
}

TextOutput::~TextOutput()
{
  if (m_fd >= 0)
    ::close(m_fd);
}

void TextOutput::PutInt(long long value)
{
  char text[24];
  const auto result = std::to_chars(text, text + sizeof text, value);
  Put(std::string_view(text, size_t(result.ptr - text)));
}

void TextOutput::PutReal(double value)
{
  char text[kRealChars];
  Put(std::string_view(text, size_t(FormatReal(text, value) - text)));
}

void TextOutput::WriteDirect(std::string_view text)
{
  m_flushed += text.size();
  if (!m_error)
    m_error = WriteAll(m_fd, text, -1);
}

void TextOutput::Flush()
{
  if (m_fd >= 0)
    WriteDirect(std::string_view(m_buffer.data(), m_used));
  else
    m_flushed += m_used;
  m_used = 0;
}

void TextOutput::Patch(size_t offset, std::string_view text)
{
  Flush();
  if (!m_error)
    m_error = WriteAll(m_fd, text, off_t(offset));
}

IoResult TextOutput::Close(const std::string &target)
{
  Flush();
  if (m_fd >= 0 && ::close(m_fd) != 0 && !m_error)
    m_error = errno ? errno : EIO;
  m_fd = -1;
  if (m_error)
    return IoResult::Fail("cannot write " + target + ": " + std::strerror(m_error));
  return IoResult::Ok();
}

} // namespace pelmora::io
