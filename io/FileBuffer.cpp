#include "io/FileBuffer.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora::io {

IoResult ReadWholeFile(const std::string &path, std::string &contents)
{
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return IoResult::Fail("cannot open " + path + ": " + std::strerror(errno));
  struct stat info;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    return IoResult::Fail("cannot open " + path + ": " + std::strerror(error));
  }
  contents.clear();
  contents.resize(static_cast<size_t>(info.st_size));
  size_t filled = 0;
  while (true) {
    if (filled == contents.size())
      contents.resize(contents.size() + 65536); // the file may grow or be a pipe
    ssize_t got = ::read(fd, &contents[filled], contents.size() - filled);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0) {
      int error = errno;
      ::close(fd);
      return IoResult::Fail("cannot read " + path + ": " + std::strerror(error));
    }
    if (got == 0)
      break;
    filled += static_cast<size_t>(got);
  }
  ::close(fd);
  contents.resize(filled);
  return IoResult::Ok();
}

std::string LowerExtension(const std::string &path)
{
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return "";
  std::string extension = path.substr(dot + 1);
  for (char &c : extension)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

} // namespace pelmora::io
