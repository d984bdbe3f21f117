#include "io/MeshWriter.h"
#include "io/AtomicWrite.h"
#include "io/FileBuffer.h"
#include "io/OutputFile.h"
#include "io/VtkMessageCapture.h"

#include <vtkCellArray.h>
#include <vtkFloatArray.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSTLWriter.h>
#include <vtkSmartPointer.h>
#include <vtkXMLPolyDataWriter.h>

#include <charconv>
#include <cstdint>
#include <vector>

namespace pelmora::io {

namespace {

// Faces as the writers store them: triangles and quads of valid faces.
std::vector<const ON_MeshFace *> ValidFaces(const ON_Mesh &mesh)
{
  std::vector<const ON_MeshFace *> faces;
  faces.reserve(static_cast<size_t>(mesh.m_F.Count()));
  for (int f = 0; f < mesh.m_F.Count(); ++f)
    if (mesh.m_F[f].IsValid(mesh.m_V.Count()))
      faces.push_back(&mesh.m_F[f]);
  return faces;
}

// Binary little-endian PLY: double or float vertices, then faces as lists
// of 3 or 4 int indices.
void WritePly(OutputFile &out, const ON_Mesh &mesh)
{
  const bool doubles = mesh.HasDoublePrecisionVertices();
  const std::vector<const ON_MeshFace *> faces = ValidFaces(mesh);
  const char *type = doubles ? "double" : "float";
  out.Write(std::string("ply\nformat binary_little_endian 1.0\nelement vertex ") +
            std::to_string(mesh.m_V.Count()) + "\nproperty " + type + " x\nproperty " + type +
            " y\nproperty " + type + " z\nelement face " + std::to_string(faces.size()) +
            "\nproperty list uchar int vertex_indices\nend_header\n");
  static_assert(sizeof(ON_3dPoint) == 24 && sizeof(ON_3fPoint) == 12, "packed points");
  if (doubles)
    out.Write(mesh.m_dV.Array(), size_t(mesh.m_dV.Count()) * sizeof(ON_3dPoint));
  else
    out.Write(mesh.m_V.Array(), size_t(mesh.m_V.Count()) * sizeof(ON_3fPoint));
  std::vector<char> record;
  record.reserve(faces.size() * 17);
  for (const ON_MeshFace *face : faces) {
    const std::uint8_t corners = face->IsTriangle() ? 3 : 4;
    record.push_back(static_cast<char>(corners));
    const char *ids = reinterpret_cast<const char *>(face->vi);
    record.insert(record.end(), ids, ids + corners * sizeof(int));
  }
  out.Write(record.data(), record.size());
}

// Wavefront OBJ: each coordinate in the shortest text that reads back as
// the same double (a float vertex widened first), faces 1-based.
void WriteObj(OutputFile &out, const ON_Mesh &mesh)
{
  const bool doubles = mesh.HasDoublePrecisionVertices();
  std::string text;
  char line[160];
  for (int v = 0; v < mesh.m_V.Count(); ++v) {
    char *end = line;
    *end++ = 'v';
    for (int axis = 0; axis < 3; ++axis) {
      *end++ = ' ';
      const double value = doubles ? mesh.m_dV[v][axis] : double((&mesh.m_V[v].x)[axis]);
      end = std::to_chars(end, line + sizeof line, value).ptr;
    }
    *end++ = '\n';
    text.append(line, end);
    if (text.size() > (1 << 20)) {
      out.Write(text);
      text.clear();
    }
  }
  for (const ON_MeshFace *face : ValidFaces(mesh)) {
    const int corners = face->IsTriangle() ? 3 : 4;
    text += 'f';
    for (int k = 0; k < corners; ++k)
      text += ' ' + std::to_string(face->vi[k] + 1);
    text += '\n';
    if (text.size() > (1 << 20)) {
      out.Write(text);
      text.clear();
    }
  }
  out.Write(text);
}

IoResult WriteWithVtk(const std::string &path, const std::string &tempPath, const ON_Mesh &mesh,
                      bool stl)
{
  vtkSmartPointer<vtkPolyData> data;
  data.TakeReference(MeshToPolyData(mesh, stl));
  VtkMessageCapture messages;
  int written = 0;
  if (stl) {
    vtkNew<vtkSTLWriter> writer;
    writer->SetFileTypeToBinary();
    writer->SetInputData(data);
    writer->SetFileName(tempPath.c_str());
    written = writer->Write() && writer->GetErrorCode() == 0;
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
}

} // namespace

const char *MeshExtensions()
{
  return "stl, ply, obj, vtp";
}

vtkPolyData *MeshToPolyData(const ON_Mesh &mesh, bool splitQuads)
{
  const int vertexCount = mesh.m_V.Count();
  const bool doubles = mesh.HasDoublePrecisionVertices();
  vtkNew<vtkPoints> points;
  if (doubles)
    points->SetDataTypeToDouble();
  else
    points->SetDataTypeToFloat();
  points->SetNumberOfPoints(vertexCount);
  for (int v = 0; v < vertexCount; ++v) {
    if (doubles) {
      points->SetPoint(v, mesh.m_dV[v].x, mesh.m_dV[v].y, mesh.m_dV[v].z);
    } else {
      const ON_3fPoint &p = mesh.m_V[v];
      points->SetPoint(v, p.x, p.y, p.z);
    }
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
    return WriteAtomically(path, [&](const std::string &tempPath) {
      if (extension == "stl" || extension == "vtp")
        return WriteWithVtk(path, tempPath, mesh, extension == "stl");
      OutputFile out(tempPath);
      if (extension == "ply")
        WritePly(out, mesh);
      else
        WriteObj(out, mesh);
      return out.Close(path);
    });
  } catch (const std::exception &error) {
    return IoResult::Fail("cannot write " + path + ": " + error.what());
  }
}

} // namespace pelmora::io
