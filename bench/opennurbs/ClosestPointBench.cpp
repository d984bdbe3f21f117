// Closest point and normal on biquadratic surfaces of 100^2 to 1000^2
// control points, as the probe offset uses them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>

#include "opennurbs.h"

namespace {

constexpr double kSize = 100.0;

// Smooth, non-planar height field with a fixed number of waves, sampled by
// n x n control points over a kSize square; clamped uniform knots.
std::unique_ptr<ON_NurbsSurface> WavySurface(int n)
{
  auto surface = std::make_unique<ON_NurbsSurface>(3, true, 3, 3, n, n);
  const double step = kSize / (n - 1);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      const double x = i * step, y = j * step;
      const double z = 4.0 * std::sin(2.0 * ON_PI * x / 40.0) * std::cos(2.0 * ON_PI * y / 55.0);
      surface->SetCV(i, j, ON_3dPoint(x, y, z));
    }
  surface->MakeClampedUniformKnotVector(0);
  surface->MakeClampedUniformKnotVector(1);
  return surface;
}

// One surface per size, built once, with its hierarchy already made.
const ON_NurbsSurface &Surface(int n)
{
  static std::map<int, std::unique_ptr<ON_NurbsSurface>> surfaces;
  auto &slot = surfaces[n];
  if (!slot) {
    slot = WavySurface(n);
    double s, t;
    slot->GetClosestPoint(ON_3dPoint(0, 0, 0), &s, &t);
  }
  return *slot;
}

// Control points visited in a scattered order (a stride coprime to n*n).
ON_3dPoint ControlPoint(const ON_NurbsSurface &surface, long long k)
{
  const long long count = surface.CVCount();
  const long long index = (k * 7919) % count;
  ON_3dPoint p;
  surface.GetCV(int(index / surface.CVCount(1)), int(index % surface.CVCount(1)), p);
  return p;
}

// Every query at another place of the whole surface: on the larger surfaces
// each one reads parts of the hierarchy and control points that are no
// longer in any cache.
void BM_ClosestPointNear(benchmark::State &state)
{
  const ON_NurbsSurface &surface = Surface(int(state.range(0)));
  long long k = 0;
  double s = 0, t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(surface.GetClosestPoint(ControlPoint(surface, k++), &s, &t));
    benchmark::DoNotOptimize(s + t);
  }
  state.SetComplexityN(surface.CVCount());
}
BENCHMARK(BM_ClosestPointNear)->Arg(100)->Arg(300)->Arg(1000)->Complexity(benchmark::oLogN);

// The control points row after row, as the probe offset visits them: each
// query starts where the last one left the caches.
void BM_ClosestPointNearSweep(benchmark::State &state)
{
  const ON_NurbsSurface &surface = Surface(int(state.range(0)));
  const int cols = surface.CVCount(1);
  long long k = 0;
  double s = 0, t = 0;
  for (auto _ : state) {
    ON_3dPoint p;
    surface.GetCV(int(k / cols % surface.CVCount(0)), int(k % cols), p);
    ++k;
    benchmark::DoNotOptimize(surface.GetClosestPoint(p, &s, &t));
    benchmark::DoNotOptimize(s + t);
  }
  state.SetComplexityN(surface.CVCount());
}
BENCHMARK(BM_ClosestPointNearSweep)->Arg(100)->Arg(300)->Arg(1000)->Complexity(benchmark::oLogN);

// Points half the surface size above, below or beside it, on a 101 x 97
// grid over twice the footprint: scattered over it, or row after row.
ON_3dPoint FarPoint(long long k, bool sweep)
{
  const long long i = sweep ? k / 97 % 101 : k * 37 % 101, j = sweep ? k % 97 : k * 53 % 97;
  const bool above = sweep ? k / (97 * 101) % 2 : k % 2;
  return ON_3dPoint(-0.5 * kSize + 2.0 * kSize * double(i) / 100.0,
                    -0.5 * kSize + 2.0 * kSize * double(j) / 96.0, (above ? 0.5 : -0.5) * kSize);
}

void ClosestPointFar(benchmark::State &state, bool sweep)
{
  const ON_NurbsSurface &surface = Surface(int(state.range(0)));
  long long k = 0;
  double s = 0, t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(surface.GetClosestPoint(FarPoint(k++, sweep), &s, &t));
    benchmark::DoNotOptimize(s + t);
  }
  state.SetComplexityN(surface.CVCount());
}
void BM_ClosestPointFar(benchmark::State &state)
{
  ClosestPointFar(state, false);
}
void BM_ClosestPointFarSweep(benchmark::State &state)
{
  ClosestPointFar(state, true);
}
BENCHMARK(BM_ClosestPointFar)->Arg(100)->Arg(300)->Arg(1000)->Complexity(benchmark::oLogN);
BENCHMARK(BM_ClosestPointFarSweep)->Arg(100)->Arg(300)->Arg(1000)->Complexity(benchmark::oLogN);

// What the probe offset does on a 1000 x 1000 matrix: a fresh surface (the
// hierarchy is built inside the timing), then closest point and normal for
// every control point.
void BM_OffsetQueries(benchmark::State &state)
{
  const ON_NurbsSurface &source = Surface(int(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    ON_NurbsSurface surface(source);
    state.ResumeTiming();
    double s = 0, t = 0, sum = 0;
    for (int i = 0; i < surface.CVCount(0); ++i)
      for (int j = 0; j < surface.CVCount(1); ++j) {
        ON_3dPoint p;
        surface.GetCV(i, j, p);
        surface.GetClosestPoint(p, &s, &t);
        sum += surface.NormalAt(s, t).z;
      }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * source.CVCount());
}
BENCHMARK(BM_OffsetQueries)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(2);

// Building the hierarchy alone.
void BM_BuildHierarchy(benchmark::State &state)
{
  const ON_NurbsSurface &source = Surface(int(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    ON_NurbsSurface surface(source);
    state.ResumeTiming();
    double s = 0, t = 0;
    surface.GetClosestPoint(ON_3dPoint(0, 0, 0), &s, &t);
  }
}
BENCHMARK(BM_BuildHierarchy)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
