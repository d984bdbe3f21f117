// The concave wrap: reconstructed surface, contoured and flipped.
#include "MeshChecks.h"
#include "PMSurface.h"

#include <gtest/gtest.h>
#include <vtkCellArray.h>
#include <vtkContourFilter.h>
#include <vtkImageData.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSurfaceReconstructionFilter.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace pelmora::test;

TEST(ConcaveWrap, SphereGivesTheContourReversedAsAClosedOutwardMesh)
{
  const ON_3dPoint centre(1, 2, 3);
  const ON_3dPointArray cloud = SphereCloud(2000, 1.0, centre);
  ON_Mesh mesh = MarkerMesh();
  ASSERT_EQ(PMSurface::WrapConcaveMesh(mesh, cloud, 0), 1);
  EXPECT_TRUE(IsClosedAndConsistentlyOriented(mesh));
  EXPECT_GT(SignedVolume(mesh), 0.0);
  EXPECT_FALSE(mesh.HasVertexNormals());
  for (int i = 0; i < mesh.VertexCount(); ++i)
    ASSERT_NEAR(mesh.Vertex(i).DistanceTo(centre), 1.0, 0.05) << "vertex " << i;

  // The same filters run here directly.
  vtkNew<vtkPoints> points;
  for (int i = 0; i < cloud.Count(); ++i)
    points->InsertNextPoint(cloud[i].x, cloud[i].y, cloud[i].z);
  vtkNew<vtkPolyData> input;
  input->SetPoints(points);
  vtkNew<vtkSurfaceReconstructionFilter> reconstruction;
  reconstruction->SetInputData(input);
  reconstruction->Update();
  vtkNew<vtkContourFilter> contour;
  contour->SetInputData(reconstruction->GetOutput());
  contour->SetValue(0, 0.0);
  contour->Update();
  vtkPolyData *output = contour->GetOutput();

  ASSERT_EQ(mesh.VertexCount(), output->GetNumberOfPoints());
  ASSERT_EQ(mesh.FaceCount(), output->GetNumberOfPolys());
  for (int i = 0; i < mesh.VertexCount(); ++i)
    ASSERT_EQ(mesh.Vertex(i), ON_3dPoint(output->GetPoint(i))) << "vertex " << i;
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
  const double ringRadius = 2.0, tubeRadius = 0.6;
  ON_Mesh mesh;
  ASSERT_EQ(PMSurface::WrapConcaveMesh(mesh, TorusCloud(6000, ringRadius, tubeRadius), 0), 1);
  EXPECT_TRUE(IsClosedAndConsistentlyOriented(mesh));
  for (int i = 0; i < mesh.VertexCount(); ++i) {
    const ON_3dPoint v = mesh.Vertex(i);
    const double rho = std::hypot(v.x, v.y);
    ASSERT_NEAR(std::hypot(rho - ringRadius, v.z), tubeRadius, 0.1) << "vertex " << i;
    ASSERT_GT(rho, ringRadius - tubeRadius - 0.1) << "vertex " << i << " in the hole";
  }
}

TEST(ConcaveWrap, CloudsTheReconstructionCannotSampleFailAndKeepTheCallersMesh)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // s(i, scale): a well spread value in [0, scale).
  const auto s = [](int i, double scale) { return scale * std::fmod(i * 0.618034, 1.0); };
  const auto cloud = [](int count, std::function<ON_3dPoint(int)> point) {
    ON_3dPointArray points;
    for (int i = 0; i < count; ++i)
      points.Append(point(i));
    return points;
  };
  const ON_3dPointArray cases[] = {
      ON_3dPointArray(), cloud(1, [](int) { return ON_3dPoint(1, 2, 3); }),
      cloud(30, [](int) { return ON_3dPoint(1, 2, 3); }),
      cloud(30, [&](int i) { return ON_3dPoint(s(i, 1), 0, 0); }),             // collinear
      cloud(5000, [&](int i) { return ON_3dPoint(s(i, 1), s(7 * i, 1), 2); }), // coplanar
      cloud(30, [&](int i) { return ON_3dPoint(i ? s(i, 1) : nan, i % 3, i % 5); }),
      cloud(30, [&](int i) { return ON_3dPoint(i % 2, i ? s(i, 1) : inf, i % 5); }),
      cloud(30, [&](int i) { return ON_3dPoint(i % 2, i % 3, s(i, 1e39)); }), // float overflow
      // The grid with its border reaches beyond float range.
      cloud(10,
            [&](int i) { return ON_3dPoint(s(i, 3.3e38), s(3 * i, 3.3e38), s(7 * i, 3.3e38)); }),
      // Spread below float resolution: every point lands on one float.
      cloud(30, [&](int i) { return ON_3dPoint(1e9 + s(i, 1e-3), 1e9 + s(3 * i, 1e-3), 1e9); }),
      // Thin slabs: billions of samples, or more than an int can count.
      cloud(30, [&](int i) { return ON_3dPoint(s(i, 1e6), s(3 * i, 1e6), s(7 * i, 1e-6)); }),
      cloud(30, [&](int i) { return ON_3dPoint(s(i, 1e30), s(3 * i, 1e30), s(7 * i, 1e-10)); })};
  for (const ON_3dPointArray &points : cases) {
    PMSurface::SetError(CString(L"before"));
    ON_Mesh mesh = MarkerMesh();
    EXPECT_EQ(PMSurface::WrapConcaveMesh(mesh, points, 0), 0) << "case " << (&points - cases);
    EXPECT_EQ(PMSurface::GetError(), L"Invalid mesh") << "case " << (&points - cases);
    EXPECT_TRUE(SameMesh(mesh, MarkerMesh())) << "case " << (&points - cases);
  }
}
