// Writing an n x n control-point surface as STEP and IGES: the formatting
// of every pole and the writes, with the peak memory of the write above the
// surface (max_rss_growth_mb, from the process's high-water mark).
#include "io/SurfaceWriter.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

ON_NurbsSurface WavySurface(int n)
{
  ON_NurbsSurface surface(3, false, 3, 3, n, n);
  surface.MakeClampedUniformKnotVector(0);
  surface.MakeClampedUniformKnotVector(1);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      surface.SetCV(i, j, ON_3dPoint(i, j, 10 * std::sin(i * 0.01) * std::cos(j * 0.013)));
  return surface;
}

void WriteSurface(benchmark::State &state, const char *extension)
{
  const int n = int(state.range(0));
  const ON_NurbsSurface surface = WavySurface(n);
  const std::string path =
      "/tmp/pelmora-bench-surface-" + std::to_string(::getpid()) + "." + extension;
  auto peakKb = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss);
  };
  // The high-water mark only grows: measure growth over what the process
  // already reached (the surface, the benchmark's own state).
  const double before = peakKb();
  for (auto _ : state) {
    auto result = pelmora::io::WriteSurface(path, surface);
    if (!result.ok)
      state.SkipWithError(result.message.c_str());
  }
  state.counters["max_rss_growth_mb"] = (peakKb() - before) / 1024.0;
  std::remove(path.c_str());
  state.SetComplexityN(int64_t(n) * n);
}

void BM_WriteSurfaceStep(benchmark::State &state)
{
  WriteSurface(state, "step");
}
void BM_WriteSurfaceIges(benchmark::State &state)
{
  WriteSurface(state, "iges");
}

} // namespace

BENCHMARK(BM_WriteSurfaceStep)
    ->Arg(100)
    ->Arg(300)
    ->Arg(1000)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_WriteSurfaceIges)
    ->Arg(100)
    ->Arg(300)
    ->Arg(1000)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Complexity(benchmark::oN);
