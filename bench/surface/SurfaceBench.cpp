// The surface operations at the sizes a digitizer produces. The second
// argument of each benchmark is showProgress (0 or 1; with no display the
// progress windows do not open, so this measures the reporting calls).
#include "PMSurface.h"
#include "bench/surface/WaveField.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using pelmora::bench::WaveHeight;

// n points scattered over 1000 x 1000 on a smooth height field.
const ON_3dPointArray &scattered(int n)
{
  static int cachedCount = -1;
  static ON_3dPointArray cloud;
  if (cachedCount != n) {
    cloud = pelmora::bench::WaveCloud(n, 0.01, true);
    cachedCount = n;
  }
  return cloud;
}

void TransformPoints(benchmark::State &state)
{
  ON_3dPointArray points = scattered(static_cast<int>(state.range(0)));
  const ON_3dVector direction(0.3, -0.4, -0.8);
  int invert = 1;
  for (auto _ : state) {
    PMSurface::TransformPoints(points, direction, invert, static_cast<int>(state.range(1)));
    invert = !invert;
    benchmark::DoNotOptimize(points.Array());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(TransformPoints)
    ->ArgsProduct({{1 << 20, 1 << 22, 10000000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The grid fitted to a scattered cloud's spacing: about fifteen coverage
// passes over the cloud, the first at one node per point.
void SuggestFittedGrid(benchmark::State &state)
{
  const ON_3dPointArray &cloud = scattered(static_cast<int>(state.range(0)));
  const ON_3dVector down(0.0, 0.0, -1.0);
  for (auto _ : state) {
    int rows = 0, cols = 0;
    PMSurface::SuggestFittedGrid(cloud, down, rows, cols);
    state.counters["rows"] = rows;
    state.counters["cols"] = cols;
  }
}
BENCHMARK(SuggestFittedGrid)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// One point per node on average; random scatter leaves small holes all over.
void CreatePointMatrix(benchmark::State &state)
{
  const int side = static_cast<int>(state.range(0));
  const ON_3dPointArray &cloud = scattered(side * side);
  ON_3dPointArray matrix;
  for (auto _ : state) {
    PMSurface::CreatePointMatrix(cloud, side, side, matrix, 1, static_cast<int>(state.range(1)));
    benchmark::DoNotOptimize(matrix.Array());
  }
  state.SetComplexityN(static_cast<int64_t>(side) * side);
}
BENCHMARK(CreatePointMatrix)
    ->ArgsProduct({{250, 500, 1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Points on every node of a side x side grid except a centred square of
// side / 2: a quarter of the cells are filled by interpolation.
void InterpolateLargeHole(benchmark::State &state)
{
  const int side = static_cast<int>(state.range(0));
  const int hole0 = side / 4;
  const int hole1 = hole0 + side / 2;
  ON_3dPointArray cloud(side * side);
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c)
      if (r < hole0 || r >= hole1 || c < hole0 || c >= hole1)
        cloud.Append(ON_3dPoint(c, r, WaveHeight(c, r)));
  ON_3dPointArray matrix;
  for (auto _ : state) {
    PMSurface::CreatePointMatrix(cloud, side, side, matrix, 1, static_cast<int>(state.range(1)));
    benchmark::DoNotOptimize(matrix.Array());
  }
  state.SetComplexityN(static_cast<int64_t>(side) * side);
}
BENCHMARK(InterpolateLargeHole)
    ->ArgsProduct({{250, 500, 1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

ON_3dPointArray gridMatrix(int side)
{
  ON_3dPointArray matrix(side * side);
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c)
      matrix.Append(ON_3dPoint(c, r, WaveHeight(c, r)));
  return matrix;
}

void CreateSurfaceFromPointMatrix(benchmark::State &state)
{
  const int side = static_cast<int>(state.range(0));
  ON_3dPointArray matrix = gridMatrix(side);
  ON_NurbsSurface surface;
  for (auto _ : state) {
    PMSurface::CreateSurfaceFromPointMatrix(surface, matrix, side, side,
                                            static_cast<int>(state.range(1)));
    benchmark::DoNotOptimize(surface.m_cv);
  }
}
BENCHMARK(CreateSurfaceFromPointMatrix)
    ->ArgsProduct({{1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void Offset(benchmark::State &state)
{
  const int side = static_cast<int>(state.range(0));
  const ON_3dPointArray start = gridMatrix(side);
  ON_3dPointArray matrix = start;
  ON_NurbsSurface fitted;
  PMSurface::CreateSurfaceFromPointMatrix(fitted, matrix, side, side, 0);
  ON_NurbsSurface surface;
  for (auto _ : state) {
    state.PauseTiming();
    matrix = start;
    surface = fitted;
    state.ResumeTiming();
    PMSurface::Offset(matrix, side, side, surface, -0.5, static_cast<int>(state.range(1)));
    benchmark::DoNotOptimize(matrix.Array());
  }
  state.SetComplexityN(static_cast<int64_t>(side) * side);
}
BENCHMARK(Offset)
    ->ArgsProduct({{250, 500, 1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
