// The convex wrap: the exact hull of the cloud, closed and outward, its
// vertices the cloud's own points in double precision.
#include "MeshChecks.h"
#include "PMSurface.h"
#include "WrapCorpus.h"
#include "support/MeshTopology.h"
#include "support/PointCloudGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <tuple>
#include <vector>

using namespace pelmora::test;

namespace {

const ON_3dPoint kCorners[4] = {ON_3dPoint(0.1, 0.0, 0.0), ON_3dPoint(1.0, 1.0 / 3.0, 0.0),
                                ON_3dPoint(0.2, 1.0, 0.0), ON_3dPoint(0.4, 0.4, 0.7)};

ON_3dPointArray CornersAnd(int count, const std::vector<ON_3dPoint> &extra)
{
  ON_3dPointArray cloud;
  cloud.Append(count, kCorners);
  for (const ON_3dPoint &p : extra)
    cloud.Append(p);
  return cloud;
}

using Key = std::tuple<double, double, double>;
Key KeyOf(const ON_3dPoint &p)
{
  return {p.x, p.y, p.z};
}

// The hull's properties on one cloud: sound topology of a sphere, vertices
// that are cloud points, and no cloud point outside any face's plane by more
// than 1e-12 of the cloud's extent.
void ExpectHullOf(const ON_3dPointArray &cloud, const ON_Mesh &hull, bool allExtreme)
{
  const MeshTopology topology = MeasureTopology(hull);
  EXPECT_TRUE(topology.Sound());
  EXPECT_EQ(topology.components, 1);
  EXPECT_EQ(topology.eulerCharacteristic, 2);
  ASSERT_TRUE(hull.HasDoublePrecisionVertices());

  std::set<Key> cloudPoints;
  for (int i = 0; i < cloud.Count(); ++i)
    cloudPoints.insert(KeyOf(cloud[i]));
  for (int v = 0; v < hull.VertexCount(); ++v)
    ASSERT_TRUE(cloudPoints.count(KeyOf(hull.m_dV[v]))) << "vertex " << v << " is no cloud point";
  if (allExtreme) {
    EXPECT_EQ(hull.VertexCount(), int(cloudPoints.size()));
  }

  const ON_BoundingBox box = cloud.BoundingBox();
  const double extent = box.Diagonal().Length();
  int outside = 0;
  for (int f = 0; f < hull.FaceCount(); ++f) {
    const int *vi = hull.m_F[f].vi;
    const ON_3dPoint a = hull.m_dV[vi[0]];
    ON_3dVector normal = ON_CrossProduct(hull.m_dV[vi[1]] - a, hull.m_dV[vi[2]] - a);
    if (!(normal.Length() > 1e-20 * extent * extent))
      continue; // a zero-area triangle along a hull edge: no plane of its own
    normal.Unitize();
    for (int i = 0; i < cloud.Count(); ++i)
      outside += ON_DotProduct(cloud[i] - a, normal) > 1e-12 * extent;
  }
  EXPECT_EQ(outside, 0);
}

} // namespace

TEST(ConvexWrap, HullOfEveryCorpusCloudIsClosedOutwardAndHoldsEveryPoint)
{
  for (const CorpusCloud &cloud : WrapCorpus()) {
    SCOPED_TRACE(cloud.name);
    ON_Mesh mesh = MarkerMesh();
    if (!cloud.solid) {
      ExpectWrapFails(PMSurface::WrapConvexMesh, cloud.points, 0);
      continue;
    }
    ASSERT_EQ(PMSurface::WrapConvexMesh(mesh, cloud.points, 0), 1);
    ExpectHullOf(cloud.points, mesh, cloud.allExtreme);
  }
}

TEST(ConvexWrap, ThinSlabsAndFarCloudsKeepTheirHull)
{
  pelmora::test::Random random(4);
  const auto slab = [&](const ON_3dVector &u, const ON_3dVector &v, const ON_3dVector &w) {
    return Cloud(3000, [&](int) {
      return ON_3dPoint(0, 0, 0) + u * random.Uniform(-1, 1) + v * random.Uniform(-1, 1) +
             w * random.Uniform(-1, 1);
    });
  };
  const double s = std::sqrt(0.5);
  const ON_3dPointArray clouds[] = {
      slab(ON_3dVector(1e6, 0, 0), ON_3dVector(0, 1e6, 0), ON_3dVector(0, 0, 1e-6)),
      slab(ON_3dVector(1e6 * s, 1e6 * s, 0), ON_3dVector(0, 0, 1e6),
           ON_3dVector(1e-6 * s, -1e-6 * s, 0)),
      Shifted(slab(ON_3dVector(1, 0, 0), ON_3dVector(0, 1, 0), ON_3dVector(0, 0, 1)),
              ON_3dVector(-3e7, 1e7, 2e7)),
  };
  for (const ON_3dPointArray &cloud : clouds) {
    SCOPED_TRACE(&cloud - clouds);
    ON_Mesh mesh;
    ASSERT_EQ(PMSurface::WrapConvexMesh(mesh, cloud, 0), 1);
    ExpectHullOf(cloud, mesh, false);
  }
}

TEST(ConvexWrap, TetrahedronGivesItsFourExactCornersWithOrWithoutInteriorPoints)
{
  const ON_3dPoint centroid = (kCorners[0] + kCorners[1] + kCorners[2] + kCorners[3]) * 0.25;
  std::vector<ON_3dPoint> interior;
  for (int i = 0; i < 20; ++i)
    interior.push_back(centroid +
                       ON_3dPoint(std::sin(i * 1.3), std::cos(i * 2.1), std::sin(i)) * 0.05);
  PMSurface::SetError(CString(L"before"));
  for (const ON_3dPointArray &cloud : {CornersAnd(4, {}), CornersAnd(4, interior)}) {
    ON_Mesh mesh = MarkerMesh();
    ASSERT_EQ(PMSurface::WrapConvexMesh(mesh, cloud, 0), 1);
    ASSERT_TRUE(mesh.VertexCount() == 4 && mesh.TriangleCount() == 4 && mesh.FaceCount() == 4);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(mesh.m_dV[i], kCorners[i]); // the doubles, in cloud order
      EXPECT_EQ(mesh.m_V[i], ON_3fPoint(kCorners[i]));
    }
    EXPECT_TRUE(MeasureTopology(mesh).Sound());
    EXPECT_FALSE(mesh.HasVertexNormals() || mesh.HasFaceNormals());
  }
  EXPECT_EQ(PMSurface::GetError(), L"before"); // success leaves the text
}

TEST(ConvexWrap, CloudsWithoutATetrahedronFailAndKeepTheCallersMesh)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // A tilted plane far out: after centring its points are off the plane by
  // rounding only.
  const ON_3dPointArray tiltedFar = Cloud(2000, [](int i) {
    const double u = std::sin(i * 1.7), v = std::cos(i * 0.3);
    return ON_3dPoint(1e5 + u, -1e5 + v, 1e5 + 0.3 * u - 0.7 * v);
  });
  const ON_3dPointArray cases[] = {
      CornersAnd(0, {}),
      CornersAnd(1, {}),
      CornersAnd(2, {}),
      CornersAnd(3, {}),
      CornersAnd(4, {ON_3dPoint(nan, 0, 0)}),
      CornersAnd(4, {ON_3dPoint(0, inf, 0)}),
      CornersAnd(0, std::vector<ON_3dPoint>(10, kCorners[1])),
      Cloud(2000, [](int i) { return ON_3dPoint(std::sin(i * 1.7), std::cos(i * 0.3), 4.0); }),
      tiltedFar,
      Shifted(tiltedFar, ON_3dVector(1e7, 1e7, 1e7)),
      Cloud(300, [](int i) { return ON_3dPoint(1e7 + i * 0.25, 2.0 * i, -3.0 * i); }),
      CornersAnd(3, std::vector<ON_3dPoint>(100, kCorners[2])), // duplicates of a triangle
  };
  for (const ON_3dPointArray &cloud : cases)
    ExpectWrapFails(PMSurface::WrapConvexMesh, cloud, int(&cloud - cases));
}
