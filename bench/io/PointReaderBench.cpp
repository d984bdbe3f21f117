// Reading large point files: text (from_chars per field) and binary PLY.
#include "BenchCloud.h"
#include "io/PointCloudReader.h"

#include <benchmark/benchmark.h>

#include <sys/stat.h>

namespace {

void ReadFile(benchmark::State &state, bool ply)
{
  const auto &files = pelmora::bench::BenchCloud(int(state.range(0)));
  const std::string &path = ply ? files.ply : files.text;
  struct stat info;
  ::stat(path.c_str(), &info);
  for (auto _ : state) {
    ON_3dPointArray points;
    auto result = pelmora::io::ReadPointCloud(path, points);
    if (!result.ok || points.Count() != state.range(0))
      state.SkipWithError(result.message.c_str());
    benchmark::DoNotOptimize(points.Array());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * info.st_size);
  state.SetComplexityN(state.range(0));
}

void BM_ReadTextCloud(benchmark::State &state)
{
  ReadFile(state, false);
}
void BM_ReadBinaryPlyCloud(benchmark::State &state)
{
  ReadFile(state, true);
}

} // namespace

BENCHMARK(BM_ReadTextCloud)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ReadBinaryPlyCloud)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
