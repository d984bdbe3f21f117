#include "framework/terminal/TerminalText.h"
#include "framework/Toolkit.h"

#include <cerrno>

#include <sys/ioctl.h>
#include <unistd.h>

bool WriteAll(int fd, const std::string &text)
{
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool ReadLine(int fd, std::string &line)
{
  line.clear();
  bool any = false;
  for (;;) {
    char c;
    ssize_t n = read(fd, &c, 1);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return any;
    any = true;
    if (c == '\n')
      break;
    line += c;
  }
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  return true;
}

namespace {
constexpr int kDefaultColumns = 80; // when the width is unknown (not a terminal)
} // namespace

int TerminalColumns(int fd)
{
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
    return size.ws_col;
  return kDefaultColumns;
}

std::string FitColumns(const std::string &text, int columns)
{
  int count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) != 0x80 && count++ == columns)
      return text.substr(0, i);
  }
  return text;
}

std::string DrawBar(int pos, int width)
{
  const int filled = ClampedProgress(pos) * width / kProgressRange;
  return "[" + std::string(static_cast<size_t>(filled), '#') +
         std::string(static_cast<size_t>(width - filled), '.') + "]";
}
