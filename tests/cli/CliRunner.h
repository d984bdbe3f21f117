// Running the built pelmora binary in a folder and collecting what it did.
#pragma once

#include "io/PointCloudReader.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <sys/wait.h>
#include <utility>

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

// Writes `points` as an .xyz file, every double exactly.
inline void WriteCloud(const std::string &path, const ON_3dPointArray &points)
{
  std::FILE *file = std::fopen(path.c_str(), "w");
  ASSERT_NE(file, nullptr);
  for (int i = 0; i < points.Count(); ++i)
    std::fprintf(file, "%.17g %.17g %.17g\n", points[i].x, points[i].y, points[i].z);
  std::fclose(file);
}

// Each run of `pelmora ARGS` exits 2 with MESSAGE in its error output.
inline void ExpectRefused(const std::string &folder,
                          std::initializer_list<std::pair<const char *, const char *>> cases)
{
  for (auto [args, message] : cases) {
    CliRun run = RunPelmora(args, folder);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_NE(run.err.find(message), std::string::npos) << args << ": " << run.err;
  }
}

} // namespace pelmora::test
