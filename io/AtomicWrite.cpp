#include "io/AtomicWrite.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pelmora::io {
namespace {

std::string FolderOf(const std::string &path)
{
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string &path)
{
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t NewFileMode()
{
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

} // namespace

IoResult CheckWritable(const std::string &target)
{
  if (target.empty() || target.back() == '/')
    return IoResult::Fail("cannot write '" + target + "': not a file name");
  struct stat info;
  if (::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
    return IoResult::Fail("cannot write " + target + ": it is a folder");
  std::string folder = FolderOf(target);
  if (::stat(folder.c_str(), &info) != 0)
    return IoResult::Fail("cannot write " + target + ": " + std::strerror(errno));
  if (!S_ISDIR(info.st_mode))
    return IoResult::Fail("cannot write " + target + ": " + folder + " is not a folder");
  if (::access(folder.c_str(), W_OK | X_OK) != 0)
    return IoResult::Fail("cannot write " + target + ": " + std::strerror(errno));
  return IoResult::Ok();
}

IoResult WriteAtomically(const std::string &target,
                         const std::function<IoResult(const std::string &tempPath)> &write)
{
  IoResult writable = CheckWritable(target);
  if (!writable)
    return writable;
  // The temporary name keeps the target's extension: some writers add one
  // when it is missing. ".panel.XXXXXX.step" for "panel.step".
  const std::string base = BaseOf(target);
  const size_t dot = base.find_last_of('.');
  const std::string suffix = dot == std::string::npos || dot == 0 ? "" : base.substr(dot);
  const std::string pattern =
      FolderOf(target) + "/." + base.substr(0, base.size() - suffix.size()) + ".XXXXXX" + suffix;
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemps(name.data(), int(suffix.size()));
  if (fd < 0)
    return IoResult::Fail("cannot write " + target + ": " + std::strerror(errno));
  ::fchmod(fd, NewFileMode());
  ::close(fd);
  const std::string tempPath(name.data());

  IoResult written;
  try {
    written = write(tempPath);
  } catch (const std::bad_alloc &) {
    written = IoResult::Fail("cannot write " + target + ": not enough memory");
  } catch (const std::exception &error) {
    written = IoResult::Fail("cannot write " + target + ": " + error.what());
  } catch (...) {
    written = IoResult::Fail("cannot write " + target + ": unexpected failure");
  }
  struct stat info;
  if (written && (::stat(tempPath.c_str(), &info) != 0 || info.st_size == 0))
    written = IoResult::Fail("cannot write " + target + ": nothing was written");
  if (written && ::rename(tempPath.c_str(), target.c_str()) != 0)
    written = IoResult::Fail("cannot write " + target + ": " + std::strerror(errno));
  if (!written)
    ::unlink(tempPath.c_str());
  return written;
}

} // namespace pelmora::io
