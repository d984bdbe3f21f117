// Convex, concave and watertight wraps on sphere-like and scan-like clouds;
// the concave VTK pipeline run bare (the time spent inside VTK); and the
// conversion of a pipeline's output into an ON_Mesh (the part of a wrap that
// is ours).
#include "PMSurface.h"
#include "support/PointCloudGenerator.h"
#include "wrap/CreateMeshFromPolyData.h"

#include <benchmark/benchmark.h>
#include <vtkContourFilter.h>
#include <vtkImageData.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkSurfaceReconstructionFilter.h>

#include <cmath>
#include <map>
#include <utility>

namespace {

enum CloudKind
{
  Sphere = 0,
  Scan = 1
};

// Points on a unit sphere with a little radial noise.
ON_3dPointArray MakeSphereCloud(int count)
{
  pelmora::test::Random random(11);
  ON_3dPointArray points;
  points.Reserve(count);
  const double golden = M_PI * (3.0 - std::sqrt(5.0));
  for (int i = 0; i < count; ++i) {
    const double z = 1.0 - 2.0 * (i + 0.5) / count;
    const double ring = std::sqrt(1.0 - z * z);
    const double radius = 1.0 + 0.002 * random.Gaussian();
    points.Append(ON_3dPoint(radius * ring * std::cos(golden * i),
                             radius * ring * std::sin(golden * i), radius * z));
  }
  return points;
}

// A digitized panel: 200 by 120 with gentle waves and probe noise.
ON_3dPointArray MakeScanCloud(int count)
{
  pelmora::test::CloudSpec spec;
  spec.xmax = 200.0;
  spec.ymax = 120.0;
  spec.count = count;
  spec.height = [](double x, double y) { return 8.0 * std::sin(x / 30.0) * std::cos(y / 25.0); };
  spec.noise = 0.05;
  spec.seed = 5;
  return pelmora::test::MakeCloud(spec);
}

const ON_3dPointArray &Cloud(CloudKind kind, int count)
{
  static std::map<std::pair<int, int>, ON_3dPointArray> clouds;
  auto found = clouds.find({kind, count});
  if (found == clouds.end())
    found = clouds
                .emplace(std::make_pair(int(kind), count),
                         kind == Sphere ? MakeSphereCloud(count) : MakeScanCloud(count))
                .first;
  return found->second;
}

vtkSmartPointer<vtkPolyData> InputPolyData(const ON_3dPointArray &cloud)
{
  vtkNew<vtkPoints> points;
  for (int i = 0; i < cloud.Count(); ++i)
    points->InsertNextPoint(cloud[i].x, cloud[i].y, cloud[i].z);
  auto input = vtkSmartPointer<vtkPolyData>::New();
  input->SetPoints(points);
  return input;
}

vtkSmartPointer<vtkPolyData> ConcavePipeline(vtkPolyData *input)
{
  vtkNew<vtkSurfaceReconstructionFilter> reconstruction;
  reconstruction->SetInputData(input);
  reconstruction->Update();
  vtkNew<vtkContourFilter> contour;
  contour->SetInputData(reconstruction->GetOutput());
  contour->SetValue(0, 0.0);
  contour->Update();
  return contour->GetOutput();
}

template <CloudKind kind> void BM_ConvexWrap(benchmark::State &state)
{
  const ON_3dPointArray &cloud = Cloud(kind, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ON_Mesh mesh;
    if (PMSurface::WrapConvexMesh(mesh, cloud, 0) != 1)
      state.SkipWithError("wrap failed");
    benchmark::DoNotOptimize(mesh.FaceCount());
  }
  state.SetComplexityN(state.range(0));
}

template <CloudKind kind> void BM_ConcaveWrap(benchmark::State &state)
{
  const ON_3dPointArray &cloud = Cloud(kind, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ON_Mesh mesh;
    if (PMSurface::WrapConcaveMesh(mesh, cloud, 0) != 1)
      state.SkipWithError("wrap failed");
    benchmark::DoNotOptimize(mesh.FaceCount());
  }
  state.SetComplexityN(state.range(0));
}

template <CloudKind kind> void BM_WatertightWrap(benchmark::State &state)
{
  const ON_3dPointArray &cloud = Cloud(kind, static_cast<int>(state.range(0)));
  double faces = 0.0;
  for (auto _ : state) {
    ON_Mesh mesh;
    if (PMSurface::WrapWatertightMesh(mesh, cloud, 0.0, 0) != 1)
      state.SkipWithError("wrap failed");
    faces = mesh.FaceCount();
  }
  state.counters["faces"] = faces;
  state.counters["detail"] = PMSurface::SuggestWrapDetail(cloud);
  state.SetComplexityN(state.range(0));
}

template <CloudKind kind> void BM_ConcavePipelineOnly(benchmark::State &state)
{
  const ON_3dPointArray &cloud = Cloud(kind, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    vtkSmartPointer<vtkPolyData> input = InputPolyData(cloud);
    vtkSmartPointer<vtkPolyData> output = ConcavePipeline(input);
    benchmark::DoNotOptimize(output->GetNumberOfPolys());
  }
}

template <CloudKind kind> void BM_Conversion(benchmark::State &state)
{
  const ON_3dPointArray &cloud = Cloud(kind, static_cast<int>(state.range(0)));
  vtkSmartPointer<vtkPolyData> input = InputPolyData(cloud);
  vtkSmartPointer<vtkPolyData> output = ConcavePipeline(input);
  for (auto _ : state) {
    ON_Mesh mesh;
    if (!pelmora::wrap::CreateMeshFromPolyData(mesh, output))
      state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(mesh.FaceCount());
  }
  state.counters["faces"] = static_cast<double>(output->GetNumberOfPolys());
}

} // namespace

BENCHMARK_TEMPLATE(BM_ConvexWrap, Sphere)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK_TEMPLATE(BM_ConvexWrap, Scan)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK_TEMPLATE(BM_WatertightWrap, Sphere)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK_TEMPLATE(BM_WatertightWrap, Scan)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK_TEMPLATE(BM_ConcaveWrap, Sphere)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK_TEMPLATE(BM_ConcaveWrap, Scan)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK_TEMPLATE(BM_ConcavePipelineOnly, Sphere)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ConcavePipelineOnly, Scan)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Conversion, Sphere)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Conversion, Scan)->Arg(100000)->Unit(benchmark::kMillisecond);
