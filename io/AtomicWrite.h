// Writing files so that readers only ever see the old file or the complete
// new one: the content goes to a temporary file in the target's folder,
// which is renamed over the target only when the writer succeeded. On any
// failure the temporary file is removed and an existing target is left as
// it was.
#pragma once

#include "io/IoResult.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelmora::io {

// `write` receives the temporary file's path (an empty file already created
// with the permissions a new file would get) and fills it. Exceptions it
// throws become failures. Inside an OutputBatch the complete temporary file
// waits for the batch's Commit instead of being renamed at once.
IoResult WriteAtomically(const std::string &target,
                         const std::function<IoResult(const std::string &tempPath)> &write);

class TextOutput;

// WriteAtomically through a TextOutput on the temporary file: `fill` puts
// the content, and the output's Close reports any failed write as
// "cannot write TARGET: <reason>".
IoResult WriteBufferedAtomically(const std::string &target,
                                 const std::function<void(TextOutput &out)> &fill);

// Fails unless a file could be created at `target`: its folder exists, is a
// folder and is writable, `target` is not a folder and its name is not too
// long for the folder's file system. Creates nothing.
IoResult CheckWritable(const std::string &target);

// Writes `bytes` to the file at `path` (which exists), checking every write
// and the file's final size; "cannot write TARGET: <reason>" on failure.
IoResult WriteWholeFile(const std::string &path, std::string_view bytes, const std::string &target);

// The outputs of one command: while a batch is alive on this thread, every
// WriteAtomically leaves its complete temporary file in place; Commit
// renames them all over their targets. A batch destroyed without Commit
// removes them, so a failure in any output leaves every old file as it was.
class OutputBatch
{
public:
  OutputBatch();
  ~OutputBatch();
  OutputBatch(const OutputBatch &) = delete;
  OutputBatch &operator=(const OutputBatch &) = delete;

  IoResult Commit();

private:
  friend IoResult WriteAtomically(const std::string &,
                                  const std::function<IoResult(const std::string &)> &);
  std::vector<std::pair<std::string, std::string>> m_staged; // temporary, target
  OutputBatch *m_enclosing;
};

} // namespace pelmora::io
