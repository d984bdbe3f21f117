// IoResult: the outcome of a read or write of the pelmora tool's files.
// Errors are values: a failed result carries a message that names the file
// (and the line, where there is one) and is meant to be shown as it stands.
#pragma once

#include <string>
#include <utility>

namespace pelmora::io {

struct IoResult
{
  bool ok = true;
  std::string message; // empty when ok

  static IoResult Ok() { return {}; }
  static IoResult Fail(std::string text) { return {false, std::move(text)}; }
  explicit operator bool() const { return ok; }
};

} // namespace pelmora::io
