// The deviation report at scale: a million scattered points against the
// 1000 x 1000 surface draped over them (a fresh copy each time, so the
// search structures are built inside the timing, as in the drape command).
#include "PMSurface.h"
#include "bench/surface/WaveField.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

struct DrapedCloud
{
  ON_3dPointArray cloud;
  ON_NurbsSurface surface;
};

const DrapedCloud &draped(int side)
{
  static int cachedSide = -1;
  static DrapedCloud data;
  if (cachedSide != side) {
    data.cloud = pelmora::bench::WaveCloud(side * side, 0.05, true);
    ON_3dPointArray matrix;
    PMSurface::CreatePointMatrix(data.cloud, side, side, matrix, 1, 0);
    PMSurface::CreateSurfaceFromPointMatrix(data.surface, matrix, side, side, 0);
    cachedSide = side;
  }
  return data;
}

void MeasureDeviations(benchmark::State &state)
{
  const DrapedCloud &data = draped(static_cast<int>(state.range(0)));
  PMDeviationReport report;
  ON_SimpleArray<double> deviations;
  for (auto _ : state) {
    state.PauseTiming();
    const ON_NurbsSurface surface(data.surface);
    state.ResumeTiming();
    PMSurface::MeasureDeviations(data.cloud, surface, ON_3dVector(0, 0, -1), 0.0, 0.1, report,
                                 &deviations);
    // (Not DoNotOptimize on a double: with g++ its asm constraint garbles
    // the value.)
    benchmark::DoNotOptimize(report.measured);
  }
  state.counters["rms"] = report.rms;
  state.counters["measured"] = report.measured;
  state.counters["points"] = data.cloud.Count();
  state.SetComplexityN(state.range(0) * state.range(0));
}
BENCHMARK(MeasureDeviations)
    ->Arg(300)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

} // namespace
