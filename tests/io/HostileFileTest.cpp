// Files that are not what they claim or change under the reader: devices,
// pipes, files that shrink, memory that runs out. Each ends in a message,
// never in a crash, a hang or a partial cloud.
#include "io/PointCloudReader.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using pelmora::io::ReadPointCloud;
using pelmora::io::ReadPointCloudFromMemory;
using pelmora::test::TempFolder;

namespace {

std::string Cloud(int count)
{
  std::string text;
  for (int i = 0; i < count; ++i)
    text += std::to_string(i) + " " + std::to_string(i % 7) + " 0.5\n";
  return text;
}

// Runs `read` in a child process whose address space may grow by `extra`
// bytes only; its exit status: 0 read, 1 failed for memory, 2 other failure.
// (Unused under the address sanitizer, which needs more address space.)
[[maybe_unused]] int ReadWithLittleMemory(size_t extra,
                                          const std::function<pelmora::io::IoResult()> &read)
{
  pid_t child = ::fork();
  if (child == 0) {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    struct rlimit limit;
    limit.rlim_cur = limit.rlim_max = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + extra;
    ::setrlimit(RLIMIT_AS, &limit);
    pelmora::io::IoResult result = read();
    ::_exit(result.ok ? 0 : result.message.find("not enough memory") != std::string::npos ? 1 : 2);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(HostileFiles, DevicesAreRefusedAndPipesAreReadOnce)
{
  TempFolder folder;
  ON_3dPointArray points;
  ASSERT_EQ(::symlink("/dev/zero", (folder / "zero.xyz").c_str()), 0);
  EXPECT_EQ(ReadPointCloud(folder / "zero.xyz", points).message,
            folder / "zero.xyz" + ": not a regular file or pipe");

  for (const char *name : {"pipe.xyz", "pipe.vtk"}) {
    const std::string pipe = folder / name;
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string content = std::string(name) == "pipe.vtk"
                                    ? "# vtk DataFile Version 3.0\nc\nASCII\nDATASET POLYDATA\n"
                                      "POINTS 2 float\n1 2 3 4 5 6\n"
                                    : Cloud(20000);
    std::thread writer([&] { std::ofstream(pipe) << content; });
    auto result = ReadPointCloud(pipe, points);
    writer.join();
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(points.Count(), name[5] == 'v' ? 2 : 20000) << name;
  }
}

TEST(HostileFiles, AFileShrinkingWhileReadFailsCleanlyOrReadsWhole)
{
  TempFolder folder;
  const std::string path = folder / "moving.xyz";
  const std::string full = Cloud(200000);
  std::ofstream(path) << full;
  std::atomic<bool> done{false};
  std::thread shrinker([&] {
    while (!done) {
      ::truncate(path.c_str(), 4096);
      std::ofstream(path, std::ios::app) << full.substr(4096);
    }
  });
  for (int i = 0; i < 40; ++i) {
    ON_3dPointArray points;
    auto result = ReadPointCloud(path, points);
    if (!result.ok) {
      EXPECT_NE(result.message.find(path), std::string::npos) << result.message;
    }
  }
  done = true;
  shrinker.join();
}

TEST(HostileFiles, BlankLinesCostNoMemory)
{
  ON_3dPointArray points;
  auto result = ReadPointCloudFromMemory(std::string(2000000, '\n') + "1 2 3\n", "b.xyz", points);
  ASSERT_TRUE(result.ok) << result.message;
  EXPECT_EQ(points.Count(), 1);
  EXPECT_LT(points.Capacity(), 1000);
}

TEST(HostileFiles, RunningOutOfMemoryFailsInsteadOfKeepingAPartialCloud)
{
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#else
  const int count = 3000000;
  std::string obj;
  for (int i = 0; i < count; ++i)
    obj += "v 1 2 3\n";
  std::string ply = "ply\nformat binary_little_endian 1.0\nelement vertex " +
                    std::to_string(count) +
                    "\nproperty float x\nproperty float y\nproperty float z\nend_header\n";
  ply.append(size_t(count) * 12, '\0');
  std::string xyz = Cloud(count);
  for (const auto &[text, name] : {std::pair{&obj, "m.obj"}, {&ply, "m.ply"}, {&xyz, "c.xyz"}}) {
    EXPECT_EQ(ReadWithLittleMemory(24u << 20,
                                   [&] {
                                     ON_3dPointArray points;
                                     return ReadPointCloudFromMemory(*text, name, points);
                                   }),
              1)
        << name;
  }
#endif
}
