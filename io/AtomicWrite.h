// Writing a file so that readers only ever see the old file or the complete
// new one: the content goes to a temporary file in the target's folder,
// which is renamed over the target only when the writer succeeded. On any
// failure the temporary file is removed and an existing target is left as
// it was.
#pragma once

#include "io/IoResult.h"

#include <functional>
#include <string>

namespace pelmora::io {

// `write` receives the temporary file's path (an empty file already created
// with the permissions a new file would get) and fills it. Exceptions it
// throws become failures.
IoResult WriteAtomically(const std::string &target,
                         const std::function<IoResult(const std::string &tempPath)> &write);

// Fails unless a file could be created at `target`: its folder exists, is a
// folder and is writable, and `target` is not a folder. Creates nothing.
IoResult CheckWritable(const std::string &target);

} // namespace pelmora::io
