// Probe compensation on surfaces fitted through matrices of real-looking
// clouds: scattered points with noise, a step, empty discs, one point per
// node on average (so about a third of the nodes receive no point). With
// interpolate 0 the empty nodes drop to the floor height, which makes the
// surface a bed of spikes; with 1 the interior ones are interpolated.
#include "PMSurface.h"
#include "opennurbs/ParallelFor.h"
#include "support/PointCloudGenerator.h"
#include "bench/surface/WaveField.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <utility>

namespace {

using pelmora::test::CloudSpec;

constexpr double kField = 1000.0; // mm

double probedPart(double x, double y)
{
  const double step = x > 0.6 * kField ? 8.0 : 0.0;
  return pelmora::bench::WaveHeight(x, y) + step;
}

// side^2 points over the field, with noise, a step and three holes.
const ON_3dPointArray &roughCloud(int side)
{
  static std::map<int, ON_3dPointArray> clouds;
  ON_3dPointArray &cloud = clouds[side];
  if (cloud.Count() == 0) {
    CloudSpec spec;
    spec.xmax = spec.ymax = kField;
    spec.count = side * side;
    spec.corners = true;
    spec.height = probedPart;
    spec.noise = 0.05;
    spec.holes = {{300.0, 300.0, 60.0}, {700.0, 500.0, 100.0}, {150.0, 850.0, 40.0}};
    cloud = pelmora::test::MakeCloud(spec);
  }
  return cloud;
}

// The side x side matrix of the rough cloud and the surface fitted through it.
const std::pair<ON_3dPointArray, ON_NurbsSurface> &roughSurface(int side, int interpolate)
{
  static std::map<std::pair<int, int>, std::pair<ON_3dPointArray, ON_NurbsSurface>> made;
  auto &slot = made[{side, interpolate}];
  if (slot.first.Count() == 0) {
    PMSurface::CreatePointMatrix(roughCloud(side), side, side, slot.first, interpolate, 0);
    PMSurface::CreateSurfaceFromPointMatrix(slot.second, slot.first, side, side, 0);
  }
  return slot;
}

// Times the offset by half a 2 mm probe, as the drape does, of a fresh copy
// of the fitted matrix and surface in every iteration.
void TimeOffset(benchmark::State &state, int side, int interpolate)
{
  const auto &fitted = roughSurface(side, interpolate);
  ON_3dPointArray matrix;
  ON_NurbsSurface surface;
  for (auto _ : state) {
    state.PauseTiming();
    matrix = fitted.first;
    surface = fitted.second;
    state.ResumeTiming();
    PMSurface::Offset(matrix, side, side, surface, -1.0, 0);
    benchmark::DoNotOptimize(matrix.Array());
  }
}

// Arguments: side, interpolate.
void RoughOffset(benchmark::State &state)
{
  const int side = static_cast<int>(state.range(0));
  TimeOffset(state, side, static_cast<int>(state.range(1)));
  state.SetComplexityN(static_cast<int64_t>(side) * side);
}
BENCHMARK(RoughOffset)
    ->ArgsProduct({{100, 300, 1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Scaling with the number of threads: the 1000 x 1000 offset (hierarchy
// build, closest points and normals, refit) on 1, 2, ... threads; wall time.
void RoughOffsetThreads(benchmark::State &state)
{
  pelmora::SetThreadCount(static_cast<int>(state.range(1)));
  TimeOffset(state, static_cast<int>(state.range(0)), 1);
  pelmora::SetThreadCount(0);
}
BENCHMARK(RoughOffsetThreads)
    ->ArgsProduct({{1000}, {1, 2, 4}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

// The drape's sequence after alignment: matrix, fit, offset.
void RoughDrapeSequence(benchmark::State &state)
{
  const int side = static_cast<int>(state.range(0));
  const ON_3dPointArray &cloud = roughCloud(side);
  ON_3dPointArray matrix;
  ON_NurbsSurface surface;
  for (auto _ : state) {
    PMSurface::CreatePointMatrix(cloud, side, side, matrix, static_cast<int>(state.range(1)), 0);
    PMSurface::CreateSurfaceFromPointMatrix(surface, matrix, side, side, 0);
    PMSurface::Offset(matrix, side, side, surface, -1.0, 0);
    benchmark::DoNotOptimize(matrix.Array());
  }
}
BENCHMARK(RoughDrapeSequence)
    ->ArgsProduct({{1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
