// The convex wrap: the hull of the cloud through the Delaunay pipeline.
#include "MeshChecks.h"
#include "PMSurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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

} // namespace

TEST(ConvexWrap, TetrahedronGivesItsFourSinglePrecisionCornersWithOrWithoutInteriorPoints)
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
    for (const ON_3dPoint &corner : kCorners) {
      const ON_3dPoint single(float(corner.x), float(corner.y), float(corner.z));
      int matches = 0;
      for (int i = 0; i < 4; ++i)
        matches += mesh.Vertex(i) == single;
      EXPECT_EQ(matches, 1) << corner.x << " " << corner.y << " " << corner.z;
    }
    EXPECT_TRUE(IsClosedAndConsistentlyOriented(mesh));
    EXPECT_FALSE(mesh.HasVertexNormals() || mesh.HasFaceNormals());
  }
  EXPECT_EQ(PMSurface::GetError(), L"before"); // success leaves the text
}

TEST(ConvexWrap, CloudsWithoutATetrahedronFailAndKeepTheCallersMesh)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const ON_3dPointArray cases[] = {
      CornersAnd(0, {}),
      CornersAnd(1, {}),
      CornersAnd(2, {}),
      CornersAnd(3, {}),
      CornersAnd(4, {ON_3dPoint(nan, 0, 0)}),
      CornersAnd(4, {ON_3dPoint(0, inf, 0)}),
      CornersAnd(4, {ON_3dPoint(0, 0, 1e39)}), // infinite as a float
      CornersAnd(0, std::vector<ON_3dPoint>(10, kCorners[1])),
      Cloud(2000, [](int i) { return ON_3dPoint(std::sin(i * 1.7), std::cos(i * 0.3), 4.0); })};
  for (const ON_3dPointArray &cloud : cases)
    ExpectWrapFails(PMSurface::WrapConvexMesh, cloud, int(&cloud - cases));
}
