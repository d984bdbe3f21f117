// Polygon output to ON_Mesh.
#include "MeshChecks.h"
#include "wrap/CreateMeshFromPolyData.h"

#include <gtest/gtest.h>
#include <vtkCellArray.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>

#include <vector>

using pelmora::wrap::CreateMeshFromPolyData;

namespace {

const std::vector<ON_3dPoint> kSixPoints = {{0.1, 0, 0}, {1, 1.0 / 3.0, 0}, {2, 1, 0.2},
                                            {1, 2, 0.3}, {0, 1.5, 0.4},     {-0.5, 0.7, 0.5}};

vtkSmartPointer<vtkPolyData> PolyData(const std::vector<std::vector<vtkIdType>> &cells,
                                      const std::vector<ON_3dPoint> &points = kSixPoints)
{
  vtkNew<vtkPoints> container;
  for (const ON_3dPoint &p : points)
    container->InsertNextPoint(p.x, p.y, p.z);
  vtkNew<vtkCellArray> polys;
  for (const auto &cell : cells)
    polys->InsertNextCell(static_cast<vtkIdType>(cell.size()), cell.data());
  auto polyData = vtkSmartPointer<vtkPolyData>::New();
  polyData->SetPoints(container);
  polyData->SetPolys(polys);
  return polyData;
}

} // namespace

TEST(CreateMeshFromPolyData, ConvertsTrianglesQuadsAndLongerPolygonsInOrder)
{
  ON_Mesh mesh = pelmora::test::MarkerMesh();
  ASSERT_TRUE(
      CreateMeshFromPolyData(mesh, PolyData({{0, 1, 2}, {0, 1, 2, 3}, {5, 4, 3, 2, 1, 0}})));
  ASSERT_EQ(mesh.VertexCount(), 6);
  // Single-precision values widened, not the doubles that went in.
  EXPECT_EQ(mesh.Vertex(0).x, static_cast<double>(0.1f));
  EXPECT_EQ(mesh.Vertex(1).y, static_cast<double>(1.0f / 3.0f));
  EXPECT_EQ(mesh.Vertex(5), ON_3dPoint(-0.5, static_cast<double>(0.7f), 0.5));
  ASSERT_EQ(mesh.FaceCount(), 3);
  const int expected[3][4] = {{0, 1, 2, 2}, {0, 1, 2, 3}, {5, 4, 3, 2}};
  for (int f = 0; f < 3; ++f)
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(mesh.m_F[f].vi[k], expected[f][k]) << "face " << f << " corner " << k;
  EXPECT_FALSE(mesh.HasVertexNormals() || mesh.HasFaceNormals() || mesh.HasTextureCoordinates());
}

TEST(CreateMeshFromPolyData, FailsAndLeavesTheTargetEmpty)
{
  const vtkIdType beyondInt = (vtkIdType(1) << 32) + 2; // wraps to 2 as an int
  auto pointsOnly = vtkSmartPointer<vtkPolyData>::New();
  pointsOnly->SetPoints(PolyData({})->GetPoints());
  const vtkSmartPointer<vtkPolyData> cases[] = {
      pointsOnly,
      vtkSmartPointer<vtkPolyData>::New(),
      nullptr,
      PolyData({{0, 1, 2}, {3, 4}}),
      PolyData({{0, 1, 6}}),
      PolyData({{0, -1, 2}}),
      PolyData({{0, 1, beyondInt}}),
      PolyData({{0, 1, 2}}, {{0, 0, 0}, {1, 0, 0}, {1, 0, 0}})};
  for (const auto &polyData : cases) {
    ON_Mesh mesh = pelmora::test::MarkerMesh();
    EXPECT_FALSE(CreateMeshFromPolyData(mesh, polyData)) << "case " << (&polyData - cases);
    EXPECT_TRUE(mesh.IsEmpty()) << "case " << (&polyData - cases);
  }
}
