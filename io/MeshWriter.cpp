#include "io/MeshWriter.h"
#include "io/AtomicWrite.h"
#include "io/FileBuffer.h"
#include "io/VtkMessageCapture.h"

#include <vtkCellArray.h>
#include <vtkFloatArray.h>
#include <vtkNew.h>
#include <vtkOBJWriter.h>
#include <vtkPLYWriter.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSTLWriter.h>
#include <vtkSmartPointer.h>
#include <vtkXMLPolyDataWriter.h>

namespace pelmora::io {

const char *MeshExtensions()
{
  return "stl, ply, obj, vtp";
}

vtkPolyData *MeshToPolyData(const ON_Mesh &mesh, bool splitQuads)
{
  const int vertexCount = mesh.m_V.Count();
  vtkNew<vtkPoints> points;
  points->SetDataTypeToFloat();
  points->SetNumberOfPoints(vertexCount);
  for (int v = 0; v < vertexCount; ++v) {
    const ON_3fPoint &p = mesh.m_V[v];
    points->SetPoint(v, p.x, p.y, p.z);
  }
  vtkNew<vtkCellArray> polygons;
  for (int f = 0; f < mesh.m_F.Count(); ++f) {
    const ON_MeshFace &face = mesh.m_F[f];
    if (!face.IsValid(vertexCount))
      continue;
    if (face.IsTriangle()) {
      vtkIdType ids[3] = {face.vi[0], face.vi[1], face.vi[2]};
      polygons->InsertNextCell(3, ids);
    } else if (splitQuads) {
      vtkIdType first[3] = {face.vi[0], face.vi[1], face.vi[2]};
      vtkIdType second[3] = {face.vi[0], face.vi[2], face.vi[3]};
      polygons->InsertNextCell(3, first);
      polygons->InsertNextCell(3, second);
    } else {
      vtkIdType ids[4] = {face.vi[0], face.vi[1], face.vi[2], face.vi[3]};
      polygons->InsertNextCell(4, ids);
    }
  }
  vtkPolyData *data = vtkPolyData::New();
  data->SetPoints(points);
  data->SetPolys(polygons);
  return data;
}

IoResult WriteMesh(const std::string &path, const ON_Mesh &mesh)
{
  const std::string extension = LowerExtension(path);
  if (extension != "stl" && extension != "ply" && extension != "obj" && extension != "vtp")
    return IoResult::Fail(
        path + ": unknown mesh file type (writable: " + std::string(MeshExtensions()) + ")");
  if (mesh.m_V.Count() == 0 || mesh.m_F.Count() == 0)
    return IoResult::Fail("cannot write " + path + ": the mesh is empty");
  try {
    vtkSmartPointer<vtkPolyData> data;
    data.TakeReference(MeshToPolyData(mesh, extension == "stl"));
    return WriteAtomically(path, [&](const std::string &tempPath) {
      VtkMessageCapture messages;
      int written = 0;
      if (extension == "stl") {
        vtkNew<vtkSTLWriter> writer;
        writer->SetFileTypeToBinary();
        writer->SetInputData(data);
        writer->SetFileName(tempPath.c_str());
        written = writer->Write() && writer->GetErrorCode() == 0;
      } else if (extension == "ply") {
        vtkNew<vtkPLYWriter> writer;
        writer->SetFileTypeToBinary();
        writer->SetInputData(data);
        writer->SetFileName(tempPath.c_str());
        written = writer->Write() && writer->GetErrorCode() == 0;
      } else if (extension == "obj") {
        vtkNew<vtkOBJWriter> writer;
        writer->SetInputData(data);
        writer->SetFileName(tempPath.c_str());
        written = writer->Write();
      } else {
        vtkNew<vtkXMLPolyDataWriter> writer;
        writer->SetInputData(data);
        writer->SetFileName(tempPath.c_str());
        written = writer->Write() && writer->GetErrorCode() == 0;
      }
      if (!written || messages.HasError())
        return IoResult::Fail("cannot write " + path +
                              (messages.HasError() ? ": " + messages.LastError() : ""));
      return IoResult::Ok();
    });
  } catch (const std::exception &error) {
    return IoResult::Fail("cannot write " + path + ": " + error.what());
  }
}

} // namespace pelmora::io
