#include "io/FileBuffer.h"
#include "opennurbs.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora::io {
namespace {

// Bytes read from a pipe at a time.
constexpr size_t kPipeChunk = 65536;

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

// Reads up to `size` bytes; the count read, or -1 with errno set.
ssize_t ReadFully(int fd, char *into, size_t size)
{
  size_t done = 0;
  while (done < size) {
    ssize_t got = ::read(fd, into + done, size - done);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return -1;
    if (got == 0)
      break;
    done += size_t(got);
  }
  return ssize_t(done);
}

} // namespace

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
  if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode))
    return IoResult::Fail(path + ": not a regular file or pipe");
  if (S_ISREG(info.st_mode) && info.st_size > 0) {
    const size_t size = size_t(info.st_size);
    m_fixed.reset(new char[size]);
    ON_AdviseHugePages(m_fixed.get(), size);
    ssize_t got = ReadFully(file.Get(), m_fixed.get(), size);
    if (got < 0)
      return IoResult::Fail("cannot read " + path + ": " + std::strerror(errno));
    if (size_t(got) != size)
      return IoResult::Fail(path + ": the file changed while it was read");
    m_view = std::string_view(m_fixed.get(), size);
    return IoResult::Ok();
  }
  // A pipe (or a regular file that reports no size): read what comes.
  char chunk[kPipeChunk];
  for (size_t got = sizeof chunk; got == sizeof chunk;) {
    const ssize_t read = ReadFully(file.Get(), chunk, sizeof chunk);
    if (read < 0)
      return IoResult::Fail("cannot read " + path + ": " + std::strerror(errno));
    got = size_t(read);
    m_stream.append(chunk, got);
  }
  m_view = m_stream;
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
