// Running the built pelmora binary in a folder and collecting what it did.
#pragma once

#include "io/TempFolder.h"

#include <string>
#include <sys/wait.h>

namespace pelmora::test {

struct CliRun
{
  int status = -1;
  std::string out, err;
};

// Runs `pelmora ARGS` in `folder` with standard input from /dev/null;
// `environment` is prefixed as "NAME=value ..." through env(1).
inline CliRun RunPelmora(const std::string &args, const std::string &folder,
                         const std::string &environment = "", const std::string &wrapper = "")
{
  static TempFolder captures;
  CliRun run;
  const std::string command = "cd '" + folder + "' && env " + environment + " " + wrapper + " '" +
                              PELMORA_CLI + "' " + args + " </dev/null >'" + captures / "out" +
                              "' 2>'" + captures / "err" + "'";
  int status = std::system(command.c_str());
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = TempFolder::Read(captures / "out");
  run.err = TempFolder::Read(captures / "err");
  return run;
}

inline std::string Sample(const std::string &name)
{
  return std::string(PELMORA_SAMPLES) + "/" + name;
}

} // namespace pelmora::test
