// Polygon output to ON_Mesh.
#include "MeshChecks.h"
#include "wrap/CreateMeshFromPolyData.h"

#include <gtest/gtest.h>
#include <vtkCellArray.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>

#include <vector>

using pelmora::test::MarkerMesh;
using pelmora::wrap::CreateMeshFromPolyData;

namespace {

// Six points in general position (no two share a location).
vtkNew<vtkPoints> SixPoints()
{
  vtkNew<vtkPoints> points;
  points->InsertNextPoint(0.1, 0.0, 0.0);
  points->InsertNextPoint(1.0, 1.0 / 3.0, 0.0);
  points->InsertNextPoint(2.0, 1.0, 0.2);
  points->InsertNextPoint(1.0, 2.0, 0.3);
  points->InsertNextPoint(0.0, 1.5, 0.4);
  points->InsertNextPoint(-0.5, 0.7, 0.5);
  return points;
}

vtkNew<vtkPolyData> PolyData(vtkPoints *points, const std::vector<std::vector<vtkIdType>> &cells)
{
  vtkNew<vtkPolyData> polyData;
  polyData->SetPoints(points);
  vtkNew<vtkCellArray> polys;
  for (const auto &cell : cells)
    polys->InsertNextCell(static_cast<vtkIdType>(cell.size()), cell.data());
  polyData->SetPolys(polys);
  return polyData;
}

} // namespace

TEST(CreateMeshFromPolyData, ConvertsTrianglesQuadsAndLongerPolygonsInOrder)
{
  vtkNew<vtkPoints> points = SixPoints();
  vtkNew<vtkPolyData> polyData = PolyData(points, {{0, 1, 2}, {0, 1, 2, 3}, {5, 4, 3, 2, 1, 0}});
  ON_Mesh mesh = MarkerMesh();

  ASSERT_TRUE(CreateMeshFromPolyData(mesh, polyData));

  ASSERT_EQ(mesh.VertexCount(), 6);
  // Single-precision values widened, not the doubles that went in.
  EXPECT_EQ(mesh.Vertex(0).x, static_cast<double>(0.1f));
  EXPECT_NE(mesh.Vertex(0).x, 0.1);
  EXPECT_EQ(mesh.Vertex(1).y, static_cast<double>(1.0f / 3.0f));
  EXPECT_EQ(mesh.Vertex(5), ON_3dPoint(-0.5, static_cast<double>(0.7f), 0.5));

  ASSERT_EQ(mesh.FaceCount(), 3);
  const int expected[3][4] = {{0, 1, 2, 2}, {0, 1, 2, 3}, {5, 4, 3, 2}};
  for (int f = 0; f < 3; ++f)
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(mesh.m_F[f].vi[k], expected[f][k]) << "face " << f << " corner " << k;
  EXPECT_EQ(mesh.TriangleCount(), 1);
  EXPECT_EQ(mesh.QuadCount(), 2);
  EXPECT_FALSE(mesh.HasVertexNormals());
  EXPECT_FALSE(mesh.HasFaceNormals());
  EXPECT_FALSE(mesh.HasTextureCoordinates());
}

TEST(CreateMeshFromPolyData, FailsAndLeavesTheTargetEmpty)
{
  vtkNew<vtkPoints> points = SixPoints();
  vtkNew<vtkPoints> coincident;
  coincident->InsertNextPoint(0, 0, 0);
  coincident->InsertNextPoint(1, 0, 0);
  coincident->InsertNextPoint(1, 0, 0);
  vtkNew<vtkPolyData> pointsOnly;
  pointsOnly->SetPoints(points);
  vtkNew<vtkPolyData> noPoints;

  struct Case
  {
    const char *name;
    vtkPolyData *polyData;
  };
  vtkNew<vtkPolyData> twoIds = PolyData(points, {{0, 1, 2}, {3, 4}});
  vtkNew<vtkPolyData> outOfRange = PolyData(points, {{0, 1, 6}});
  vtkNew<vtkPolyData> negative = PolyData(points, {{0, -1, 2}});
  vtkNew<vtkPolyData> beyondInt = PolyData(points, {{0, 1, (vtkIdType(1) << 32) + 2}});
  vtkNew<vtkPolyData> sameLocation = PolyData(coincident, {{0, 1, 2}});
  vtkNew<vtkPolyData> emptyPolys = PolyData(points, {});
  const Case cases[] = {{"points but no polygons", pointsOnly},
                        {"no point set", noPoints},
                        {"a two-id cell", twoIds},
                        {"an id past the last point", outOfRange},
                        {"a negative id", negative},
                        {"an id that wraps to a valid int", beyondInt},
                        {"corners at one location", sameLocation},
                        {"an empty polygon list", emptyPolys},
                        {"no poly data", nullptr}};
  for (const Case &c : cases) {
    ON_Mesh mesh = pelmora::test::MarkerMesh();
    EXPECT_FALSE(CreateMeshFromPolyData(mesh, c.polyData)) << c.name;
    EXPECT_TRUE(mesh.IsEmpty()) << c.name;
  }
}
