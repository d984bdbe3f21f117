// The concave wrap: reconstructed surface, contoured and flipped.
#include "MeshChecks.h"
#include "PMSurface.h"

#include <gtest/gtest.h>
#include <vtkContourFilter.h>
#include <vtkImageData.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSurfaceReconstructionFilter.h>

#include <cmath>
#include <limits>

using namespace pelmora::test;

namespace {

// The contour the wrap converts, computed here with the filters alone.
vtkNew<vtkContourFilter> ContourOf(const ON_3dPointArray &cloud, vtkPoints *points,
                                   vtkPolyData *input, vtkSurfaceReconstructionFilter *filter)
{
  for (int i = 0; i < cloud.Count(); ++i)
    points->InsertNextPoint(cloud[i].x, cloud[i].y, cloud[i].z);
  input->SetPoints(points);
  filter->SetInputData(input);
  filter->Update();
  vtkNew<vtkContourFilter> contour;
  contour->SetInputData(filter->GetOutput());
  contour->SetValue(0, 0.0);
  contour->Update();
  return contour;
}

} // namespace

TEST(ConcaveWrap, SphereGivesTheReversedContourAsAClosedOrientedMesh)
{
  const ON_3dPoint centre(1, 2, 3);
  const ON_3dPointArray cloud = SphereCloud(2000, 1.0, centre);
  ON_Mesh mesh = MarkerMesh();
  ASSERT_EQ(PMSurface::WrapConcaveMesh(mesh, cloud, 0), 1);
  EXPECT_TRUE(IsClosedAndConsistentlyOriented(mesh));
  EXPECT_GT(SignedVolume(mesh), 0.0) << "faces point outwards";
  EXPECT_FALSE(mesh.HasVertexNormals());
  for (int i = 0; i < mesh.VertexCount(); ++i)
    ASSERT_NEAR(mesh.Vertex(i).DistanceTo(centre), 1.0, 0.05) << "vertex " << i;

  vtkNew<vtkPoints> points;
  vtkNew<vtkPolyData> input;
  vtkNew<vtkSurfaceReconstructionFilter> filter;
  vtkNew<vtkContourFilter> contour = ContourOf(cloud, points, input, filter);
  vtkPolyData *output = contour->GetOutput();
  ASSERT_EQ(mesh.VertexCount(), output->GetNumberOfPoints());
  ASSERT_EQ(mesh.FaceCount(), output->GetNumberOfPolys());
  for (int i = 0; i < mesh.VertexCount(); ++i) {
    double p[3];
    output->GetPoint(i, p);
    ASSERT_EQ(mesh.Vertex(i), ON_3dPoint(p)) << "vertex " << i;
  }
  vtkIdType count = 0;
  const vtkIdType *ids = nullptr;
  vtkCellArray *polys = output->GetPolys();
  polys->InitTraversal();
  for (int f = 0; polys->GetNextCell(count, ids); ++f) {
    ASSERT_EQ(count, 3);
    const ON_MeshFace &face = mesh.m_F[f];
    EXPECT_TRUE(face.vi[0] == ids[0] && face.vi[1] == ids[2] && face.vi[2] == ids[1] &&
                face.vi[3] == ids[1])
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
    const double distance = std::hypot(rho - ringRadius, v.z) - tubeRadius;
    ASSERT_NEAR(distance, 0.0, 0.1) << "vertex " << i;
    ASSERT_GT(rho, ringRadius - tubeRadius - 0.1) << "vertex " << i << " fills the hole";
  }
}

TEST(ConcaveWrap, CloudsTheReconstructionCannotSampleFailAndKeepTheCallersMesh)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case
  {
    const char *name;
    ON_3dPointArray cloud;
  };
  std::vector<Case> cases;
  const auto add = [&cases](const char *name, int count, auto point) {
    cases.push_back({name, {}});
    for (int i = 0; i < count; ++i)
      cases.back().cloud.Append(point(i));
  };
  const auto spread = [](int i, double scale) { return scale * std::fmod(i * 0.618034, 1.0); };
  add("empty", 0, [](int) { return ON_3dPoint(); });
  add("one point", 1, [](int) { return ON_3dPoint(1, 2, 3); });
  add("one location", 30, [](int) { return ON_3dPoint(1, 2, 3); });
  add("collinear", 30, [&](int i) { return ON_3dPoint(spread(i, 1), 0, 0); });
  add("coplanar", 5000, [&](int i) { return ON_3dPoint(spread(i, 1), spread(i * 7, 1), 2); });
  add("NaN", 30, [&](int i) { return ON_3dPoint(i ? spread(i, 1) : nan, i % 3, i % 5); });
  add("infinite", 30, [&](int i) { return ON_3dPoint(i % 2, i ? spread(i, 1) : inf, i % 5); });
  add("beyond float", 30, [&](int i) { return ON_3dPoint(i % 2, i % 3, spread(i, 1e39)); });
  add("padded grid beyond float", 10, [&](int i) {
    return ON_3dPoint(spread(i, 3.3e38), spread(i * 3, 3.3e38), spread(i * 7, 3.3e38));
  });
  add("spread below float resolution", 30,
      [&](int i) { return ON_3dPoint(1e9 + spread(i, 1e-3), 1e9 + spread(i * 3, 1e-3), 1e9); });
  add("1e6 wide, 1e-6 thick", 30,
      [&](int i) { return ON_3dPoint(spread(i, 1e6), spread(i * 3, 1e6), spread(i * 7, 1e-6)); });
  add("1e30 wide, 1e-10 thick", 30, [&](int i) {
    return ON_3dPoint(spread(i, 1e30), spread(i * 3, 1e30), spread(i * 7, 1e-10));
  });

  for (const Case &c : cases) {
    PMSurface::SetError(CString(L"before"));
    ON_Mesh mesh = MarkerMesh();
    EXPECT_EQ(PMSurface::WrapConcaveMesh(mesh, c.cloud, 0), 0) << c.name;
    EXPECT_EQ(PMSurface::GetError(), L"Invalid mesh") << c.name;
    EXPECT_TRUE(SameMesh(mesh, MarkerMesh())) << c.name;
  }
}
