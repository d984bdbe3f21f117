// The watertight wrap: closed, manifold and outward on every corpus cloud,
// following hollows wider than the detail and passing within it of every
// point.
#include "MeshChecks.h"
#include "PMSurface.h"
#include "WrapCorpus.h"
#include "support/MeshTopology.h"
#include "ui/PipelineProgress.h"
#include "wrap/VoxelClosing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

using namespace pelmora::test;

namespace {

// Farthest any cloud point lies from its nearest mesh vertex (an upper
// bound of its distance to the surface).
double FarthestFromVertices(const ON_3dPointArray &cloud, const ON_Mesh &mesh, double enough)
{
  double farthest = 0.0;
  for (int i = 0; i < cloud.Count(); ++i) {
    double nearest = std::numeric_limits<double>::infinity();
    for (int v = 0; v < mesh.VertexCount() && nearest > enough; ++v)
      nearest = std::min(nearest, cloud[i].DistanceTo(mesh.m_dV[v]));
    farthest = std::max(farthest, nearest);
  }
  return farthest;
}

struct Probe
{
  const char *cloud;
  ON_3dPoint point;
  bool inside;
};

// Places whose side tells whether hollows are followed and cavities filled.
const Probe kProbes[] = {
    {"noisy torus", ON_3dPoint(0, 0, 0), false},         // the hole stays open
    {"noisy torus", ON_3dPoint(2, 0, 0), true},          // the tube is solid
    {"box with recess", ON_3dPoint(2, 1.5, 1.6), false}, // the recess is followed
    {"box with recess", ON_3dPoint(2, 0.5, 1.0), true},
    {"thin shell", ON_3dPoint(0, 0, 0), true}, // the enclosed cavity is filled
    {"sphere", ON_3dPoint(1, 2, 3), true},
};

} // namespace

TEST(WatertightWrap, EveryCorpusCloudGivesOneClosedOutwardPieceWithinTheDetail)
{
  for (const CorpusCloud &cloud : WrapCorpus()) {
    SCOPED_TRACE(cloud.name);
    const double detail = PMSurface::SuggestWrapDetail(cloud.points);
    ASSERT_GT(detail, 0.0);
    ON_Mesh mesh = MarkerMesh();
    ASSERT_EQ(PMSurface::WrapWatertightMesh(mesh, cloud.points, 0.0, 0), 1);
    ASSERT_TRUE(mesh.HasDoublePrecisionVertices());
    const MeshTopology topology = MeasureTopology(mesh);
    EXPECT_TRUE(topology.Sound());
    EXPECT_EQ(topology.components, 1);
    EXPECT_EQ(topology.eulerCharacteristic, cloud.watertightEuler);
    EXPECT_LE(FarthestFromVertices(cloud.points, mesh, 0.5 * detail), detail);
    for (const Probe &probe : kProbes)
      if (cloud.name == probe.cloud) {
        EXPECT_NEAR(WindingNumber(mesh, probe.point), probe.inside ? 1.0 : 0.0, 1e-6)
            << probe.point.x << " " << probe.point.y << " " << probe.point.z;
      }
  }
}

// A far cloud gives the near cloud's mesh moved there: the wraps work in
// double precision around the cloud, where floats at 1e5 would snap to
// 0.0078 steps and at 1e7 to 1.
TEST(FarClouds, GiveTheNearMeshMovedThere)
{
  const ON_3dPointArray near = SphereCloud(2000, 1.0, ON_3dPoint(0.25, 0, 0));
  const auto watertight = [](ON_Mesh &mesh, const ON_3dPointArray &points, int progress) {
    return PMSurface::WrapWatertightMesh(mesh, points, 0.3, progress);
  };
  const struct
  {
    const char *name;
    int (*wrap)(ON_Mesh &, const ON_3dPointArray &, int);
    ON_3dVector offset;
  } cases[] = {{"concave", PMSurface::WrapConcaveMesh, {1e5, -1e5, 1e5}},
               {"watertight", watertight, {1e7, -1e7, 1e5}}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    ON_Mesh atOrigin, moved;
    ASSERT_EQ(c.wrap(atOrigin, near, 0), 1);
    ASSERT_EQ(c.wrap(moved, Shifted(near, c.offset), 0), 1);
    ASSERT_EQ(atOrigin.VertexCount(), moved.VertexCount());
    ASSERT_EQ(atOrigin.FaceCount(), moved.FaceCount());
    double largest = 0.0;
    for (int v = 0; v < moved.VertexCount(); ++v)
      largest = std::max(largest, (moved.m_dV[v] - c.offset).DistanceTo(atOrigin.m_dV[v]));
    EXPECT_LT(largest, 1e-6);
  }
}

TEST(WatertightWrap, UnusableCloudsAndDetailsFailAndKeepTheCallersMesh)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const ON_3dPointArray sphere = SphereCloud(500, 1.0, ON_3dPoint(0, 0, 0));
  ON_3dPointArray withNan(sphere);
  withNan[3].y = nan;
  const auto wrap = [](ON_Mesh &mesh, const ON_3dPointArray &points, int progress) {
    return PMSurface::WrapWatertightMesh(mesh, points, 0.0, progress);
  };
  for (const ON_3dPointArray &cloud :
       {ON_3dPointArray(), withNan, Cloud(20, [](int) { return ON_3dPoint(1, 2, 3); })})
    ExpectWrapFails(wrap, cloud, 0);
  EXPECT_EQ(PMSurface::SuggestWrapDetail(withNan), 0.0);

  // A detail too fine for memory names one that fits.
  ON_Mesh mesh = MarkerMesh();
  ASSERT_EQ(PMSurface::WrapWatertightMesh(mesh, sphere, 1e-5, 0), 0);
  EXPECT_TRUE(SameMesh(mesh, MarkerMesh()));
  const std::string message = PMSurface::GetError().ToUtf8();
  const std::string::size_type named = message.find("use a detail of ");
  ASSERT_EQ(message.rfind("Detail 1e-05 needs ", 0), 0u) << message;
  ASSERT_NE(named, std::string::npos) << message;
  const double fits = std::atof(message.c_str() + named + 16);
  EXPECT_LE(pelmora::wrap::PlanVoxelGrid(sphere.BoundingBox(), fits).VoxelCount(),
            pelmora::wrap::VoxelBudget());
  EXPECT_GT(pelmora::wrap::PlanVoxelGrid(sphere.BoundingBox(), fits * 0.9).VoxelCount(),
            pelmora::wrap::VoxelBudget());
}

TEST(WatertightWrap, ProgressRunsUnderItsOwnTitleOnlyForFlagOne)
{
  EnsureApplication();
  const ON_3dPointArray cloud = SphereCloud(500, 1.0, ON_3dPoint(0, 0, 0));
  for (int flag : {0, 2, 1}) {
    thePipelineProgress.SetTitle(CString(L"untouched"));
    ON_Mesh mesh;
    ASSERT_EQ(PMSurface::WrapWatertightMesh(mesh, cloud, 0.0, flag), 1);
    EXPECT_EQ(thePipelineProgress.GetTitle(),
              flag == 1 ? L"Wrapping watertight mesh" : L"untouched");
  }
  EXPECT_EQ(thePipelineProgress.GetCurrent(), 100.0);
}
