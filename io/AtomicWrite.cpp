#include "io/AtomicWrite.h"
#include "io/TextOutput.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora::io {
namespace {

thread_local OutputBatch *t_batch = nullptr;

// "XXXXXX" and the dots around it that the temporary name adds.
constexpr size_t kTemporaryExtra = 8;

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

size_t NameLimit(const std::string &folder)
{
  const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  return limit > 0 ? size_t(limit) : size_t(NAME_MAX);
}

mode_t NewFileMode()
{
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// ".panel.XXXXXX.step" for "panel.step": hidden, beside the target, with its
// extension, and no longer than the folder allows (the stem is shortened).
std::string TemporaryPattern(const std::string &target, std::string &suffix)
{
  const std::string folder = FolderOf(target), base = BaseOf(target);
  const size_t dot = base.find_last_of('.');
  suffix = dot == std::string::npos || dot == 0 ? "" : base.substr(dot);
  const size_t limit = NameLimit(folder);
  if (suffix.size() + kTemporaryExtra + 1 > limit)
    suffix.clear();
  const std::string stem = base.substr(0, base.size() - suffix.size());
  const size_t room = limit - suffix.size() - kTemporaryExtra;
  return folder + "/." + stem.substr(0, room) + ".XXXXXX" + suffix;
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
  if (BaseOf(target).size() > NameLimit(folder))
    return IoResult::Fail("cannot write " + target + ": " + std::strerror(ENAMETOOLONG));
  return IoResult::Ok();
}

IoResult WriteWholeFile(const std::string &path, std::string_view bytes, const std::string &target)
{
  TextOutput out(path);
  out.Put(bytes);
  IoResult closed = out.Close(target);
  if (!closed)
    return closed;
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || uint64_t(info.st_size) != bytes.size())
    return IoResult::Fail("cannot write " + target + ": the file holds fewer bytes than written");
  return IoResult::Ok();
}

IoResult WriteAtomically(const std::string &target,
                         const std::function<IoResult(const std::string &tempPath)> &write)
{
  IoResult writable = CheckWritable(target);
  if (!writable)
    return writable;
  std::string suffix;
  const std::string pattern = TemporaryPattern(target, suffix);
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
  if (written && t_batch) {
    t_batch->m_staged.emplace_back(tempPath, target);
    return written;
  }
  if (written && ::rename(tempPath.c_str(), target.c_str()) != 0)
    written = IoResult::Fail("cannot write " + target + ": " + std::strerror(errno));
  if (!written)
    ::unlink(tempPath.c_str());
  return written;
}

IoResult WriteBufferedAtomically(const std::string &target,
                                 const std::function<void(TextOutput &out)> &fill)
{
  return WriteAtomically(target, [&](const std::string &tempPath) {
    TextOutput out(tempPath);
    fill(out);
    return out.Close(target);
  });
}

OutputBatch::OutputBatch() : m_enclosing(t_batch)
{
  t_batch = this;
}

OutputBatch::~OutputBatch()
{
  for (const auto &staged : m_staged)
    ::unlink(staged.first.c_str());
  t_batch = m_enclosing;
}

IoResult OutputBatch::Commit()
{
  IoResult result;
  for (const auto &[temporary, target] : m_staged)
    if (result && ::rename(temporary.c_str(), target.c_str()) != 0)
      result = IoResult::Fail("cannot write " + target + ": " + std::strerror(errno));
  for (const auto &staged : m_staged)
    ::unlink(staged.first.c_str()); // those not renamed after a failure
  m_staged.clear();
  return result;
}

} // namespace pelmora::io
