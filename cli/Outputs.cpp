#include "cli/Outputs.h"
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "io/AtomicWrite.h"
#include "io/FileBuffer.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace pelmora::cli {
namespace {

bool SameFile(const std::string &a, const std::string &b)
{
  struct stat first, second;
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace

void CheckOutput(const std::string &path, const std::vector<std::string> &extensions,
                 const std::string &kind, const std::string &cloudPath)
{
  if (path.empty())
    return;
  const std::string extension = io::LowerExtension(path);
  if (std::find(extensions.begin(), extensions.end(), extension) == extensions.end()) {
    std::string list;
    for (const std::string &allowed : extensions)
      list += (list.empty() ? "." : ", .") + allowed;
    throw UsageError(path + ": a " + kind + " file must end in " + list);
  }
  if (!cloudPath.empty() && SameFile(path, cloudPath))
    throw UsageError(path + ": the " + kind + " file would overwrite the input cloud");
  io::IoResult writable = io::CheckWritable(path);
  if (!writable)
    throw UsageError(writable.message);
}

bool Written::Add(const std::string &path, const io::IoResult &result)
{
  if (!result) {
    PrintError(result.message);
    return false;
  }
  m_paths.push_back(path);
  return true;
}

bool Written::Commit()
{
  io::IoResult committed = m_batch.Commit();
  if (!committed) {
    PrintError(committed.message);
    return false;
  }
  if (!m_quiet)
    for (const std::string &path : m_paths)
      std::printf("wrote      %s\n", path.c_str());
  return true;
}

} // namespace pelmora::cli
