// The concave wrap: reconstructed surface, contoured and flipped. The grid it
// predicts must be the filter's, or the sample limit would guard the wrong number.
#include "MeshChecks.h"
#include "PMSurface.h"
#include "support/MeshTopology.h"
#include "support/PointCloudGenerator.h"
#include "WrapCorpus.h"
#include "wrap/WrapFrame.h"
#include "wrap/WrapGuards.h"

#include <gtest/gtest.h>
#include <vtkCellArray.h>
#include <vtkContourFilter.h>
#include <vtkNew.h>
#include <vtkPolyData.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace pelmora::test;
using namespace pelmora::wrap;

TEST(ConcaveWrap, SphereGivesTheContourReversedAsAClosedOutwardMesh)
{
  const ON_3dPoint centre(1, 2, 3);
  const ON_3dPointArray cloud = SphereCloud(2000, 1.0, centre);
  ON_Mesh mesh = MarkerMesh();
  ASSERT_EQ(PMSurface::WrapConcaveMesh(mesh, cloud, 0), 1);
  EXPECT_TRUE(MeasureTopology(mesh).Sound()); // closed and outward
  EXPECT_FALSE(mesh.HasVertexNormals());
  for (int i = 0; i < mesh.VertexCount(); ++i)
    ASSERT_NEAR(mesh.Vertex(i).DistanceTo(centre), 1.0, 0.05) << "vertex " << i;

  // The same filters run here directly, on the cloud moved to its centre.
  ON_3dPoint origin;
  ASSERT_TRUE(CloudCentre(cloud, origin));
  vtkNew<vtkContourFilter> contour;
  contour->SetInputData(ReconstructionVolume(Shifted(cloud, -ON_3dVector(origin))));
  contour->SetValue(0, 0.0);
  contour->Update();
  vtkPolyData *output = contour->GetOutput();
  ASSERT_EQ(mesh.VertexCount(), output->GetNumberOfPoints());
  ASSERT_EQ(mesh.FaceCount(), output->GetNumberOfPolys());
  for (int i = 0; i < mesh.VertexCount(); ++i)
    ASSERT_EQ(mesh.Vertex(i), origin + ON_3dVector(output->GetPoint(i))) << "vertex " << i;
  vtkIdType count = 0;
  const vtkIdType *ids = nullptr;
  output->GetPolys()->InitTraversal();
  for (int f = 0; output->GetPolys()->GetNextCell(count, ids); ++f) {
    const int *vi = mesh.m_F[f].vi;
    ASSERT_TRUE(count == 3 && vi[0] == ids[0] && vi[1] == ids[2] && vi[2] == ids[1] &&
                vi[3] == ids[1])
        << "face " << f;
  }
}

TEST(ConcaveWrap, TorusKeepsItsHole)
{
  const double ring = 2.0, tube = 0.6;
  ON_Mesh mesh;
  ASSERT_EQ(PMSurface::WrapConcaveMesh(mesh, TorusCloud(6000, ring, tube), 0), 1);
  EXPECT_TRUE(MeasureTopology(mesh).Sound());
  for (int i = 0; i < mesh.VertexCount(); ++i) {
    const ON_3dPoint v = mesh.Vertex(i);
    const double rho = std::hypot(v.x, v.y);
    ASSERT_NEAR(std::hypot(rho - ring, v.z), tube, 0.1) << "vertex " << i;
    ASSERT_GT(rho, ring - tube - 0.1) << "vertex " << i << " in the hole";
  }
}

TEST(ConcaveWrap, CloudsTheReconstructionCannotSampleFailAndKeepTheCallersMesh)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // s(i, scale): a well spread value in [0, scale).
  const auto s = [](int i, double scale) { return scale * std::fmod(i * 0.618034, 1.0); };
  const auto spread = [&](int count, double x, double y, double z) {
    return Cloud(count, [&](int i) { return ON_3dPoint(s(i, x), s(3 * i, y), s(7 * i, z)); });
  };
  const ON_3dPointArray cases[] = {
      ON_3dPointArray(), Cloud(1, [](int) { return ON_3dPoint(1, 2, 3); }),
      Cloud(30, [](int) { return ON_3dPoint(1, 2, 3); }), spread(30, 1, 0, 0), // collinear
      Cloud(5000, [&](int i) { return ON_3dPoint(s(i, 1), s(7 * i, 1), 2); }), // coplanar
      Cloud(30, [&](int i) { return ON_3dPoint(i ? s(i, 1) : nan, i % 3, i % 5); }),
      Cloud(30, [&](int i) { return ON_3dPoint(i % 2, i ? s(i, 1) : inf, i % 5); }),
      Cloud(30, [&](int i) { return ON_3dPoint(i % 2, i % 3, s(i, 1e39)); }), // float overflow
      spread(10, 3.3e38, 3.3e38, 3.3e38), // the grid with its border beyond float range
      // Spread below float resolution: every point lands on one float.
      Cloud(30, [&](int i) { return ON_3dPoint(1e9 + s(i, 1e-3), 1e9 + s(3 * i, 1e-3), 1e9); }),
      // Thin slabs: billions of samples, or more than an int can count.
      spread(30, 1e6, 1e6, 1e-6), spread(30, 1e30, 1e30, 1e-10)};
  for (const ON_3dPointArray &points : cases)
    ExpectWrapFails(PMSurface::WrapConcaveMesh, points, int(&points - cases));
}

TEST(ReconstructionGrid, PredictionMatchesTheFilter)
{
  Random random(3);
  const ON_3dPointArray thinBox = Cloud(30, [&](int) {
    return ON_3dPoint(random.Uniform(0, 1), random.Uniform(-5, 5), random.Uniform(2, 2.01));
  });
  CloudSpec scan;
  scan.xmax = 40.0;
  scan.ymax = 25.0;
  scan.count = 2000;
  scan.height = [](double x, double y) { return 2.0 * std::sin(x / 7.0) * std::cos(y / 5.0); };
  const ON_3dPointArray clouds[] = {thinBox, SphereCloud(500, 3.0, ON_3dPoint(1e3, 0, -1)),
                                    MakeCloud(scan)};
  for (const ON_3dPointArray &cloud : clouds) {
    const auto volume = ReconstructionVolume(cloud);
    const FloatBounds bounds = ComputeFloatBounds(cloud);
    ASSERT_TRUE(ConcaveWrapCanRun(bounds));
    const ReconstructionGrid grid = PredictReconstructionGrid(bounds);
    EXPECT_DOUBLE_EQ(grid.spacing, volume->GetSpacing()[0]);
    for (int axis = 0; axis < 3; ++axis) {
      EXPECT_EQ(grid.dimensions[axis], volume->GetDimensions()[axis]) << "axis " << axis;
      EXPECT_NEAR(grid.origin[axis], volume->GetOrigin()[axis], 1e-12 * grid.spacing);
    }
  }
}

TEST(ConcaveWrap, EveryCorpusCloudGivesAClosedManifoldOutwardMesh)
{
  // Open contours (scan lines, the thin shell's sheets, the box's edges)
  // fall back to the watertight wrap; closed ones keep the contour's shape.
  for (const CorpusCloud &cloud : WrapCorpus()) {
    SCOPED_TRACE(cloud.name);
    ON_Mesh mesh = MarkerMesh();
    if (!cloud.solid) { // nothing to sample a volume in: as before
      ExpectWrapFails(PMSurface::WrapConcaveMesh, cloud.points, 0);
      continue;
    }
    ASSERT_EQ(PMSurface::WrapConcaveMesh(mesh, cloud.points, 0), 1);
    EXPECT_TRUE(MeasureTopology(mesh).Sound());
  }
}
