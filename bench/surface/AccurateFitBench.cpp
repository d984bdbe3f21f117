// The accurate fit at scale, and its accuracy beside the drape's on probe
// centres of a 3 mm ball rolled over spheres (counters, one iteration).
// Run with --benchmark_filter=Accurate; the machine's threads are used, so
// read the real time as well as the process CPU time.
#include "PMSurface.h"
#include "support/PointCloudGenerator.h"
#include "bench/surface/WaveField.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace {

using pelmora::test::CloudSpec;

const ON_3dPointArray &waveCloud(int n)
{
  static int cached = -1;
  static ON_3dPointArray cloud;
  if (cached != n) {
    cloud = pelmora::bench::WaveCloud(n, 0.01, false);
    cached = n;
  }
  return cloud;
}

// Arguments: points, grid side, probe diameter, smoothing (-1: chosen).
void AccurateFit(benchmark::State &state)
{
  const ON_3dPointArray &cloud = waveCloud(static_cast<int>(state.range(0)));
  const int side = static_cast<int>(state.range(1));
  for (auto _ : state) {
    ON_NurbsSurface surface;
    PMFitReport report;
    if (!PMSurface::FitSurfaceToPoints(surface, report, cloud, ON_3dVector(0, 0, -1), side, side,
                                       static_cast<double>(state.range(2)),
                                       state.range(3) < 0 ? -1.0 : 1.0, 0))
      state.SkipWithError("fit failed");
    state.counters["smoothing"] = report.smoothing;
  }
}
BENCHMARK(AccurateFit)
    ->Args({40000, 60, 0, -1})
    ->Args({1000000, 300, 0, -1})
    ->Args({1000000, 300, 0, 1})
    ->Args({1000000, 300, 3, -1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

constexpr double kBall = 1.5; // probe radius: a 3 mm ball

struct Errors
{
  double max = 0.0, rms = 0.0;
};

// Distance of the surface to the sphere of `radius` about the origin, over
// the samples whose x and y lie within `limit`.
Errors sphereErrors(const ON_NurbsSurface &surface, double radius, double limit)
{
  const ON_Interval u = surface.Domain(0), v = surface.Domain(1);
  const int n = 400;
  double sum = 0.0;
  int count = 0;
  Errors e;
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j) {
      const ON_3dPoint p =
          surface.PointAt(u.ParameterAt(i / double(n)), v.ParameterAt(j / double(n)));
      if (std::fabs(p.x) > limit || std::fabs(p.y) > limit)
        continue;
      const double d = ON_3dVector(p).Length() - radius;
      e.max = std::max(e.max, std::fabs(d));
      sum += d * d;
      ++count;
    }
  e.rms = count ? std::sqrt(sum / count) : 0.0;
  return e;
}

// Arguments: grid side, sphere radius, half width of the probed square,
// mode (0: the drape's grid, fit and offset; 1: the accurate fit), and the
// deviation of the Gaussian noise on the centres' heights in micrometres.
// Centre errors are taken where the centres lie 1 mm inside the square,
// compensated errors where the touching ball's centre does.
void AccurateFitAccuracy(benchmark::State &state)
{
  const int side = static_cast<int>(state.range(0));
  const double radius = static_cast<double>(state.range(1));
  const double half = static_cast<double>(state.range(2));
  CloudSpec spec;
  spec.xmin = spec.ymin = -half;
  spec.xmax = spec.ymax = half;
  spec.count = 40000;
  spec.noise = 1e-3 * static_cast<double>(state.range(4));
  spec.height = [radius](double x, double y) {
    const double c = radius + kBall;
    return std::sqrt(c * c - x * x - y * y);
  };
  const ON_3dPointArray centres = pelmora::test::MakeCloud(spec);
  const double centreLimit = half - 1.0;
  const double partLimit = centreLimit * radius / (radius + kBall);
  Errors centre, part, innerCentre, innerPart;
  for (auto _ : state) {
    ON_NurbsSurface surface;
    if (state.range(3) == 0) {
      ON_3dPointArray matrix;
      PMSurface::CreatePointMatrix(centres, side, side, matrix, 1, 0);
      PMSurface::CreateSurfaceFromPointMatrix(surface, matrix, side, side, 0);
      centre = sphereErrors(surface, radius + kBall, centreLimit);
      innerCentre = sphereErrors(surface, radius + kBall, 0.8 * centreLimit);
      PMSurface::Offset(matrix, side, side, surface, -kBall, 0);
      part = sphereErrors(surface, radius, partLimit);
      innerPart = sphereErrors(surface, radius, 0.8 * partLimit);
    } else {
      PMFitReport report;
      PMSurface::FitSurfaceToPoints(surface, report, centres, ON_3dVector(0, 0, -1), side, side,
                                    0.0, -1.0, 0);
      centre = sphereErrors(surface, radius + kBall, centreLimit);
      innerCentre = sphereErrors(surface, radius + kBall, 0.8 * centreLimit);
      PMSurface::FitSurfaceToPoints(surface, report, centres, ON_3dVector(0, 0, -1), side, side,
                                    2.0 * kBall, -1.0, 0);
      part = sphereErrors(surface, radius, partLimit);
      innerPart = sphereErrors(surface, radius, 0.8 * partLimit);
    }
  }
  state.counters["centre_max"] = centre.max;
  state.counters["centre_rms"] = centre.rms;
  state.counters["part_max"] = part.max;
  state.counters["part_rms"] = part.rms;
  // The same over the middle 80 % of each side, away from the border.
  state.counters["inner_centre_max"] = innerCentre.max;
  state.counters["inner_centre_rms"] = innerCentre.rms;
  state.counters["inner_part_max"] = innerPart.max;
  state.counters["inner_part_rms"] = innerPart.rms;
}
BENCHMARK(AccurateFitAccuracy)
    ->ArgsProduct({{60, 120}, {50}, {30}, {0, 1}, {0}})
    ->Args({60, 5, 3, 0, 0})
    ->Args({60, 5, 3, 1, 0})
    ->Args({60, 50, 30, 0, 5})
    ->Args({60, 50, 30, 1, 5})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
