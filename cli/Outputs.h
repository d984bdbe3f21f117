// Output files of the commands: checked before any work is done, reported
// once written.
#pragma once

#include "io/AtomicWrite.h"
#include "io/IoResult.h"

#include <string>
#include <vector>

namespace pelmora::cli {

// Throws UsageError unless `path` has one of `extensions` (lower case, no
// dot), its folder is writable and it is not the input cloud `cloudPath`.
// `kind` names the output in messages ("surface", "mesh", ...). An empty
// path is not checked.
void CheckOutput(const std::string &path, const std::vector<std::string> &extensions,
                 const std::string &kind, const std::string &cloudPath);

// The outputs of one command, written together: each is written to a
// temporary file as it comes, and only Commit puts them all in place, so a
// failure in any leaves every old file as it was. Add prints the failure
// and returns false; Commit prints "wrote PATH" for each unless quiet.
class Written
{
public:
  explicit Written(bool quiet) : m_quiet(quiet) {}
  bool Add(const std::string &path, const io::IoResult &result);
  bool Commit();

private:
  bool m_quiet;
  io::OutputBatch m_batch;
  std::vector<std::string> m_paths;
};

} // namespace pelmora::cli
