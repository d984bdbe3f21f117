// Polygon output to ON_Mesh; see CreateMeshFromPolyData.h.
#include "wrap/CreateMeshFromPolyData.h"
#include "wrap/VtkWarningsOff.h"

#include <vtkCellArray.h>
#include <vtkObject.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>

#include <climits>

namespace pelmora::wrap {

namespace {

void CopyVertices(ON_Mesh &mesh, vtkPoints *points, int vertexCount, const ON_3dPoint &origin)
{
  double location[3];
  float single[3];
  for (int i = 0; i < vertexCount; ++i) {
    points->GetPoint(i, location);
    // Kept in a float array so the single-precision rounding cannot be
    // optimised away before widening.
    for (int axis = 0; axis < 3; ++axis)
      single[axis] = static_cast<float>(location[axis]);
    mesh.SetVertex(i, origin + ON_3dVector(single[0], single[1], single[2]));
  }
}

bool CopyFaces(ON_Mesh &mesh, vtkCellArray *polys, int faceCount, vtkIdType vertexCount)
{
  vtkIdType idCount = 0;
  const vtkIdType *ids = nullptr;
  polys->InitTraversal();
  for (int j = 0; j < faceCount; ++j) {
    if (!polys->GetNextCell(idCount, ids) || idCount < 3)
      return false;
    const int used = idCount == 3 ? 3 : 4;
    for (int k = 0; k < used; ++k)
      if (ids[k] < 0 || ids[k] >= vertexCount)
        return false;
    const int a = static_cast<int>(ids[0]);
    const int b = static_cast<int>(ids[1]);
    const int c = static_cast<int>(ids[2]);
    if (idCount == 3)
      mesh.SetTriangle(j, a, b, c);
    else
      mesh.SetQuad(j, a, b, c, static_cast<int>(ids[3]));
  }
  return true;
}

} // namespace

bool CreateMeshFromPolyData(ON_Mesh &mesh, vtkPolyData *polyData, const ON_3dPoint &origin)
{
  mesh.Destroy();
  const VtkWarningsOff quiet;
  if (polyData == nullptr)
    return false;
  vtkPoints *points = polyData->GetPoints();
  if (points == nullptr)
    return false;
  const vtkIdType pointCount = points->GetNumberOfPoints();
  vtkCellArray *polys = polyData->GetPolys();
  if (polys == nullptr)
    return false;
  const vtkIdType cellCount = polys->GetNumberOfCells();
  if (pointCount > INT_MAX || cellCount > INT_MAX)
    return false;

  const int vertexCount = static_cast<int>(pointCount);
  const int faceCount = static_cast<int>(cellCount);
  ON_Mesh local(faceCount, vertexCount, false, false);
  CopyVertices(local, points, vertexCount, origin);
  if (!CopyFaces(local, polys, faceCount, pointCount) || !local.IsValid())
    return false;
  mesh = local;
  return true;
}

} // namespace pelmora::wrap
