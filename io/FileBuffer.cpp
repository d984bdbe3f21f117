#include "io/FileBuffer.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora::io {
namespace {

class Descriptor
{
public:
  explicit Descriptor(int fd) : m_fd(fd) {}
  ~Descriptor()
  {
    if (m_fd >= 0)
      ::close(m_fd);
  }
  int Get() const { return m_fd; }

private:
  int m_fd;
};

} // namespace

FileContents::~FileContents()
{
  if (m_mapping)
    ::munmap(m_mapping, m_mappedSize);
}

IoResult FileContents::Load(const std::string &path)
{
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0)
    return IoResult::Fail("cannot open " + path + ": " + std::strerror(errno));
  struct stat info;
  if (::fstat(file.Get(), &info) != 0)
    return IoResult::Fail("cannot open " + path + ": " + std::strerror(errno));
  if (S_ISDIR(info.st_mode))
    return IoResult::Fail("cannot open " + path + ": " + std::strerror(EISDIR));
  if (S_ISREG(info.st_mode) && info.st_size > 0) {
    void *mapping =
        ::mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.Get(), 0);
    if (mapping != MAP_FAILED) {
      m_mapping = mapping;
      m_mappedSize = size_t(info.st_size);
      m_view = std::string_view(static_cast<const char *>(mapping), m_mappedSize);
      return IoResult::Ok();
    }
  }
  // Pipes, empty or special files: read what comes.
  char chunk[65536];
  while (true) {
    ssize_t got = ::read(file.Get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return IoResult::Fail("cannot read " + path + ": " + std::strerror(errno));
    if (got == 0)
      break;
    m_buffer.append(chunk, size_t(got));
  }
  m_view = m_buffer;
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
