// Running the built pelmora binary in a folder and collecting what it did.
#pragma once

#include "io/PointCloudReader.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>

namespace pelmora::test {

struct CliRun
{
  int status = -1;
  std::string out, err;
};

// Runs `pelmora ARGS` in `folder` with standard input from /dev/null, under
// `env ENVIRONMENT WRAPPER`.
inline CliRun RunPelmora(const std::string &args, const std::string &folder,
                         const std::string &environment = "", const std::string &wrapper = "")
{
  static TempFolder captures;
  const std::string command = "cd '" + folder + "' && env " + environment + " " + wrapper + " '" +
                              PELMORA_CLI + "' " + args + " </dev/null >'" + captures / "out" +
                              "' 2>'" + captures / "err" + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TempFolder::Read(captures / "out"),
          TempFolder::Read(captures / "err")};
}

inline std::string Sample(const std::string &name)
{
  return std::string(PELMORA_SAMPLES) + "/" + name;
}

inline ON_3dPointArray ReadPoints(const std::string &path)
{
  ON_3dPointArray points;
  auto result = io::ReadPointCloud(path, points);
  EXPECT_TRUE(result.ok) << result.message;
  return points;
}

} // namespace pelmora::test
