// A probe-like cloud of n points over a 1000 x 1000 mm wavy sheet, written
// once per process as text (~30 bytes a point) and as binary PLY (floats).
#pragma once

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>

namespace pelmora::bench {

struct BenchCloudFiles
{
  std::string text, ply;
  ~BenchCloudFiles()
  {
    if (!text.empty())
      std::remove(text.c_str());
    if (!ply.empty())
      std::remove(ply.c_str());
  }
};

inline const BenchCloudFiles &BenchCloud(int count)
{
  static BenchCloudFiles files;
  static int written = 0;
  if (written == count)
    return files;
  const std::string base =
      "/tmp/pelmora-bench-" + std::to_string(::getpid()) + "-" + std::to_string(count);
  if (written) {
    std::remove(files.text.c_str());
    std::remove(files.ply.c_str());
  }
  files.text = base + ".xyz";
  files.ply = base + ".ply";
  std::mt19937 random(7);
  std::uniform_real_distribution<double> coordinate(0.0, 1000.0);
  std::FILE *text = std::fopen(files.text.c_str(), "w");
  std::FILE *ply = std::fopen(files.ply.c_str(), "wb");
  std::fprintf(ply,
               "ply\nformat binary_little_endian 1.0\nelement vertex %d\nproperty float x\n"
               "property float y\nproperty float z\nend_header\n",
               count);
  for (int i = 0; i < count; ++i) {
    double x = coordinate(random), y = coordinate(random);
    double z = 40 * std::sin(x / 90) * std::cos(y / 130) + 0.001 * x * y / 10;
    std::fprintf(text, "%.6f %.6f %.6f\n", x, y, z);
    float v[3] = {float(x), float(y), float(z)};
    std::fwrite(v, sizeof v, 1, ply);
  }
  std::fclose(text);
  std::fclose(ply);
  written = count;
  return files;
}

} // namespace pelmora::bench
