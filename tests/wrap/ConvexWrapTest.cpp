// The convex wrap: hull of the cloud through the Delaunay pipeline.
#include "MeshChecks.h"
#include "PMSurface.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

using namespace pelmora::test;

namespace {

const ON_3dPoint kCorners[4] = {ON_3dPoint(0.1, 0.0, 0.0), ON_3dPoint(1.0, 1.0 / 3.0, 0.0),
                                ON_3dPoint(0.2, 1.0, 0.0), ON_3dPoint(0.4, 0.4, 0.7)};

ON_3dPoint Single(const ON_3dPoint &p)
{
  const float f[3] = {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
  return ON_3dPoint(f[0], f[1], f[2]);
}

void ExpectTetrahedron(const ON_Mesh &mesh)
{
  ASSERT_EQ(mesh.VertexCount(), 4);
  ASSERT_EQ(mesh.FaceCount(), 4);
  EXPECT_EQ(mesh.TriangleCount(), 4);
  for (const ON_3dPoint &corner : kCorners) {
    int matches = 0;
    for (int i = 0; i < 4; ++i)
      matches += mesh.Vertex(i) == Single(corner);
    EXPECT_EQ(matches, 1) << corner.x << " " << corner.y << " " << corner.z;
  }
  EXPECT_TRUE(IsClosedAndConsistentlyOriented(mesh));
  EXPECT_FALSE(mesh.HasVertexNormals());
  EXPECT_FALSE(mesh.HasFaceNormals());
}

} // namespace

TEST(ConvexWrap, TetrahedronCornersGiveFourSinglePrecisionVerticesAndFourTriangles)
{
  ON_3dPointArray cloud;
  cloud.Append(4, kCorners);
  ON_Mesh mesh = MarkerMesh();
  ASSERT_EQ(PMSurface::WrapConvexMesh(mesh, cloud, 0), 1);
  ExpectTetrahedron(mesh);

  // Points well inside the hull never become vertices.
  const ON_3dPoint centroid = (kCorners[0] + kCorners[1] + kCorners[2] + kCorners[3]) * 0.25;
  for (int i = 0; i < 20; ++i)
    cloud.Append(centroid +
                 ON_3dPoint(std::sin(i * 1.3), std::cos(i * 2.1), std::sin(i * 0.7)) * 0.05);
  ON_Mesh withInterior;
  ASSERT_EQ(PMSurface::WrapConvexMesh(withInterior, cloud, 0), 1);
  ExpectTetrahedron(withInterior);
}

TEST(ConvexWrap, HullOfASphereCloudEnclosesEveryPoint)
{
  const ON_3dPointArray cloud = SphereCloud(400, 2.0, ON_3dPoint(5, -3, 1));
  ON_Mesh mesh;
  ASSERT_EQ(PMSurface::WrapConvexMesh(mesh, cloud, 0), 1);
  ASSERT_TRUE(IsClosedAndConsistentlyOriented(mesh));
  // The hull's volume is below the sphere's and close to it.
  const double volume = std::fabs(SignedVolume(mesh));
  const double sphere = 4.0 / 3.0 * M_PI * 8.0;
  EXPECT_LT(volume, sphere);
  EXPECT_GT(volume, 0.97 * sphere);
  const double orientation = SignedVolume(mesh) > 0 ? 1.0 : -1.0;
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const ON_3dPoint a = mesh.Vertex(mesh.m_F[f].vi[0]);
    const ON_3dVector normal =
        ON_CrossProduct(mesh.Vertex(mesh.m_F[f].vi[1]) - a, mesh.Vertex(mesh.m_F[f].vi[2]) - a) *
        orientation;
    for (int i = 0; i < cloud.Count(); ++i)
      ASSERT_LE((cloud[i] - a) * normal, 1e-5) << "point " << i << " outside face " << f;
  }
}

TEST(ConvexWrap, CloudsWithoutATetrahedronFailAndKeepTheCallersMesh)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case
  {
    const char *name;
    ON_3dPointArray cloud;
  };
  std::vector<Case> cases = {{"empty", {}}};
  for (int n = 1; n <= 3; ++n) {
    cases.push_back({"fewer than four", {}});
    cases.back().cloud.Append(n, kCorners);
  }
  const auto withCorners = [](ON_3dPoint extra) {
    ON_3dPointArray cloud;
    cloud.Append(4, kCorners);
    cloud.Append(extra);
    return cloud;
  };
  cases.push_back({"NaN coordinate", withCorners(ON_3dPoint(nan, 0, 0))});
  cases.push_back({"infinite coordinate", withCorners(ON_3dPoint(0, inf, 0))});
  cases.push_back({"beyond float range", withCorners(ON_3dPoint(0, 0, 1e39))});
  ON_3dPointArray flat;
  for (int i = 0; i < 2000; ++i)
    flat.Append(ON_3dPoint(std::sin(i * 1.7), std::cos(i * 0.3), 4.0));
  cases.push_back({"coplanar", flat});
  ON_3dPointArray duplicates;
  for (int i = 0; i < 10; ++i)
    duplicates.Append(kCorners[1]);
  cases.push_back({"one location", duplicates});

  for (const Case &c : cases) {
    PMSurface::SetError(CString(L"before"));
    ON_Mesh mesh = MarkerMesh();
    EXPECT_EQ(PMSurface::WrapConvexMesh(mesh, c.cloud, 0), 0) << c.name;
    EXPECT_EQ(PMSurface::GetError(), L"Invalid mesh") << c.name;
    EXPECT_TRUE(SameMesh(mesh, MarkerMesh())) << c.name;
  }
}

TEST(ConvexWrap, SuccessReplacesTheMeshAndLeavesTheErrorText)
{
  ON_Mesh mesh = MarkerMesh();
  ASSERT_EQ(PMSurface::WrapConvexMesh(mesh, ON_3dPointArray(), 0), 0);
  ON_3dPointArray cloud;
  cloud.Append(4, kCorners);
  ASSERT_EQ(PMSurface::WrapConvexMesh(mesh, cloud, 0), 1);
  EXPECT_EQ(PMSurface::GetError(), L"Invalid mesh");
  ExpectTetrahedron(mesh);
  for (int i = 0; i < 4; ++i)
    EXPECT_NE(mesh.Vertex(i), ON_3dPoint(7, 0, 0));
}
