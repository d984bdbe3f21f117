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

void ExpectTetrahedron(const ON_Mesh &mesh)
{
  ASSERT_EQ(mesh.VertexCount(), 4);
  ASSERT_EQ(mesh.TriangleCount(), 4);
  ASSERT_EQ(mesh.FaceCount(), 4);
  for (const ON_3dPoint &corner : kCorners) {
    const float single[3] = {float(corner.x), float(corner.y), float(corner.z)};
    int matches = 0;
    for (int i = 0; i < 4; ++i)
      matches += mesh.Vertex(i) == ON_3dPoint(single[0], single[1], single[2]);
    EXPECT_EQ(matches, 1) << corner.x << " " << corner.y << " " << corner.z;
  }
  EXPECT_TRUE(IsClosedAndConsistentlyOriented(mesh));
  EXPECT_FALSE(mesh.HasVertexNormals() || mesh.HasFaceNormals());
}

} // namespace

TEST(ConvexWrap, TetrahedronGivesItsFourSinglePrecisionCornersWithOrWithoutInteriorPoints)
{
  ON_Mesh mesh = MarkerMesh();
  ASSERT_EQ(PMSurface::WrapConvexMesh(mesh, ON_3dPointArray(), 0), 0);
  ON_3dPointArray cloud;
  cloud.Append(4, kCorners);
  ASSERT_EQ(PMSurface::WrapConvexMesh(mesh, cloud, 0), 1);
  ExpectTetrahedron(mesh);                           // the marker mesh is gone
  EXPECT_EQ(PMSurface::GetError(), L"Invalid mesh"); // success leaves the text

  const ON_3dPoint centroid = (kCorners[0] + kCorners[1] + kCorners[2] + kCorners[3]) * 0.25;
  for (int i = 0; i < 20; ++i)
    cloud.Append(centroid + ON_3dPoint(std::sin(i * 1.3), std::cos(i * 2.1), std::sin(i)) * 0.05);
  ON_Mesh withInterior;
  ASSERT_EQ(PMSurface::WrapConvexMesh(withInterior, cloud, 0), 1);
  ExpectTetrahedron(withInterior);
}

TEST(ConvexWrap, CloudsWithoutATetrahedronFailAndKeepTheCallersMesh)
{
  const auto cornersAnd = [](int count, std::vector<ON_3dPoint> extra) {
    ON_3dPointArray cloud;
    cloud.Append(count, kCorners);
    for (const ON_3dPoint &p : extra)
      cloud.Append(p);
    return cloud;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ON_3dPointArray flat;
  for (int i = 0; i < 2000; ++i)
    flat.Append(ON_3dPoint(std::sin(i * 1.7), std::cos(i * 0.3), 4.0));
  const ON_3dPointArray cases[] = {
      cornersAnd(0, {}),
      cornersAnd(1, {}),
      cornersAnd(2, {}),
      cornersAnd(3, {}),
      cornersAnd(4, {ON_3dPoint(nan, 0, 0)}),
      cornersAnd(4, {ON_3dPoint(0, std::numeric_limits<double>::infinity(), 0)}),
      cornersAnd(4, {ON_3dPoint(0, 0, 1e39)}), // infinite as a float
      cornersAnd(0, std::vector<ON_3dPoint>(10, kCorners[1])),
      flat};
  for (const ON_3dPointArray &cloud : cases) {
    PMSurface::SetError(CString(L"before"));
    ON_Mesh mesh = MarkerMesh();
    EXPECT_EQ(PMSurface::WrapConvexMesh(mesh, cloud, 0), 0) << "case " << (&cloud - cases);
    EXPECT_EQ(PMSurface::GetError(), L"Invalid mesh") << "case " << (&cloud - cases);
    EXPECT_TRUE(SameMesh(mesh, MarkerMesh())) << "case " << (&cloud - cases);
  }
}
