// Whole-file reading for the point readers: one read into one buffer.
#pragma once

#include "io/IoResult.h"

#include <string>

namespace pelmora::io {

// Reads the file at `path` into `contents` (replaced). Fails with
// "cannot open PATH: <reason>" or "cannot read PATH: <reason>".
IoResult ReadWholeFile(const std::string &path, std::string &contents);

// The lower-case extension of `path` without the dot ("" when none).
std::string LowerExtension(const std::string &path);

} // namespace pelmora::io
