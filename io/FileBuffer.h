// Whole-file reading for the point readers. The file is opened once and read
// into memory (never mapped: a file that shrinks under a mapping kills the
// reader); a named pipe is read once to its end. Devices, sockets and
// folders are refused.
#pragma once

#include "io/IoResult.h"

#include <memory>
#include <string>
#include <string_view>

namespace pelmora::io {

class FileContents
{
public:
  // Fails with "cannot open PATH: <reason>", "cannot read PATH: <reason>",
  // "PATH: not a regular file or pipe" or "PATH: the file changed while it
  // was read" (it shrank). Throws std::bad_alloc when it does not fit.
  IoResult Load(const std::string &path);
  std::string_view View() const { return m_view; }

private:
  std::unique_ptr<char[]> m_fixed; // a regular file's bytes
  std::string m_stream;            // a pipe's bytes
  std::string_view m_view;
};

// The lower-case extension of `path` without the dot ("" when none).
std::string LowerExtension(const std::string &path);

} // namespace pelmora::io
