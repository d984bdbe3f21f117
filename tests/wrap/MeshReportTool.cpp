// mesh_report MESH...: one line per mesh file (ply, obj, vtp, stl) saying
// whether it is closed, 2-manifold and facing outward. For judging the
// meshes the tool writes on real clouds; not run by ctest.
#include "support/MeshTopology.h"

#include <vtkOBJReader.h>
#include <vtkPLYReader.h>
#include <vtkPolyData.h>
#include <vtkSTLReader.h>
#include <vtkSmartPointer.h>
#include <vtkXMLPolyDataReader.h>

#include <cstdio>
#include <string>

namespace {

vtkSmartPointer<vtkPolyData> Read(const std::string &path)
{
  const std::string extension = path.substr(path.find_last_of('.') + 1);
  auto read = [&](auto reader) {
    reader->SetFileName(path.c_str());
    reader->Update();
    return vtkSmartPointer<vtkPolyData>(reader->GetOutput());
  };
  if (extension == "ply")
    return read(vtkSmartPointer<vtkPLYReader>::New());
  if (extension == "obj")
    return read(vtkSmartPointer<vtkOBJReader>::New());
  if (extension == "vtp")
    return read(vtkSmartPointer<vtkXMLPolyDataReader>::New());
  auto stl = vtkSmartPointer<vtkSTLReader>::New();
  stl->MergingOn();
  return read(stl);
}

ON_Mesh ToMesh(vtkPolyData *data)
{
  ON_Mesh mesh;
  double p[3];
  for (vtkIdType i = 0; i < data->GetNumberOfPoints(); ++i) {
    data->GetPoint(i, p);
    mesh.SetVertex(int(i), ON_3dPoint(p));
  }
  vtkIdType count = 0;
  const vtkIdType *ids = nullptr;
  auto *polys = data->GetPolys();
  polys->InitTraversal();
  for (int f = 0; polys->GetNextCell(count, ids); ++f)
    if (count == 3)
      mesh.SetTriangle(mesh.FaceCount(), int(ids[0]), int(ids[1]), int(ids[2]));
    else if (count == 4)
      mesh.SetQuad(mesh.FaceCount(), int(ids[0]), int(ids[1]), int(ids[2]), int(ids[3]));
  return mesh;
}

} // namespace

int main(int argc, char **argv)
{
  for (int i = 1; i < argc; ++i) {
    const auto data = Read(argv[i]);
    const ON_Mesh mesh = ToMesh(data);
    const pelmora::test::MeshTopology t = pelmora::test::MeasureTopology(mesh);
    std::printf(
        "%s: faces %d vertices %d boundary-edges %d non-manifold-edges %d "
        "non-manifold-vertices %d misoriented-edges %d components %d euler %d volume %g "
        "-> %s, %s, %s\n",
        argv[i], t.faces, t.vertices, t.boundaryEdges, t.nonManifoldEdges, t.nonManifoldVertices,
        t.misorientedEdges, t.components, t.eulerCharacteristic, t.signedVolume,
        t.Closed() ? "closed" : "open", t.Manifold() ? "manifold" : "non-manifold",
        t.misorientedEdges ? "mixed orientation" : (t.signedVolume > 0 ? "outward" : "inward"));
  }
  return 0;
}
