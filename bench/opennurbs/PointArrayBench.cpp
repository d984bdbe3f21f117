// Whole-array operations on large point clouds.
#include "opennurbs.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

ON_3dPointArray MakeCloud(int count)
{
  ON_3dPointArray cloud(count);
  for (int i = 0; i < count; i++) {
    const double t = i * 1e-3;
    cloud.Append(ON_3dPoint(std::sin(t) * 100.0, std::cos(t * 0.7) * 50.0, t));
  }
  return cloud;
}

// A rotation to a tilted plane, as used to align a cloud to a direction.
ON_Xform TiltedRotation()
{
  ON_3dVector n(1, 2, 3);
  n.Unitize();
  ON_Xform xform;
  xform.Rotation(ON_Plane::World_xy, ON_Plane(ON_3dPoint(1, 2, 3), -n));
  return xform;
}

void BM_PointArrayTransform(benchmark::State &state)
{
  ON_3dPointArray cloud = MakeCloud((int)state.range(0));
  const ON_Xform xform = TiltedRotation();
  for (auto _ : state) {
    cloud.Transform(xform);
    benchmark::DoNotOptimize(cloud.Array());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PointArrayTransform)
    ->RangeMultiplier(10)
    ->Range(100000, 10000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_PointArrayBoundingBox(benchmark::State &state)
{
  const ON_3dPointArray cloud = MakeCloud((int)state.range(0));
  for (auto _ : state) {
    ON_BoundingBox box = cloud.BoundingBox();
    benchmark::DoNotOptimize(box);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PointArrayBoundingBox)
    ->RangeMultiplier(10)
    ->Range(100000, 10000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_PointArrayAppend(benchmark::State &state)
{
  const int count = (int)state.range(0);
  for (auto _ : state) {
    ON_3dPointArray cloud;
    for (int i = 0; i < count; i++)
      cloud.Append(ON_3dPoint(i, i, i));
    benchmark::DoNotOptimize(cloud.Array());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PointArrayAppend)->Arg(10000000)->Unit(benchmark::kMillisecond);

} // namespace
