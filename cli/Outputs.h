// Output files of the commands: checked before any work is done, reported
// once written.
#pragma once

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

// Prints "wrote PATH" for each written file unless quiet; prints the
// failure and returns false otherwise.
class Written
{
public:
  explicit Written(bool quiet) : m_quiet(quiet) {}
  bool Add(const std::string &path, const io::IoResult &result);

private:
  bool m_quiet;
};

} // namespace pelmora::cli
