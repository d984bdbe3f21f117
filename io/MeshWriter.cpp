#include "io/MeshWriter.h"
#include "io/AtomicWrite.h"
#include "io/FileBuffer.h"
#include "io/VtkMessageCapture.h"

#include <vtkCellArray.h>
#include <vtkFloatArray.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkXMLPolyDataWriter.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <new>

namespace pelmora::io {

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

namespace {

template <typename T> void PutLittleEndian(std::string &out, T value)
{
  char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  out.append(bytes, sizeof(T));
}

// Binary STL of the split triangles: 80-byte header, count, then per
// triangle its normal, three corners and a zero attribute word.
std::string BinaryStl(vtkPolyData *data)
{
  vtkCellArray *polygons = data->GetPolys();
  std::string out(80, '\0');
  std::string("pelmora mesh").copy(out.data(), 12);
  PutLittleEndian<uint32_t>(out, uint32_t(polygons->GetNumberOfCells()));
  out.reserve(out.size() + 50 * size_t(polygons->GetNumberOfCells()));
  vtkIdType count;
  const vtkIdType *ids;
  for (polygons->InitTraversal(); polygons->GetNextCell(count, ids);) {
    double corners[3][3];
    for (int k = 0; k < 3; ++k)
      data->GetPoint(ids[k], corners[k]);
    ON_3dVector normal = ON_CrossProduct(ON_3dPoint(corners[1]) - ON_3dPoint(corners[0]),
                                         ON_3dPoint(corners[2]) - ON_3dPoint(corners[0]));
    normal.Unitize();
    for (int k = 0; k < 3; ++k)
      PutLittleEndian<float>(out, float(normal[k]));
    for (const auto &corner : corners)
      for (int k = 0; k < 3; ++k)
        PutLittleEndian<float>(out, float(corner[k]));
    PutLittleEndian<uint16_t>(out, 0);
  }
  return out;
}

// OBJ: "v x y z" with the shortest text that reads back to each double
// (the double vertices, or the float ones widened), then "f a b c [d]"
// (1-based).
std::string Obj(const ON_Mesh &mesh)
{
  std::string out = "# pelmora mesh\n";
  char number[32];
  const bool doubles = mesh.HasDoublePrecisionVertices();
  for (int v = 0; v < mesh.m_V.Count(); ++v) {
    out += 'v';
    const ON_3dPoint vertex = doubles ? mesh.m_dV[v] : ON_3dPoint(mesh.m_V[v]);
    for (double value : {vertex.x, vertex.y, vertex.z}) {
      out += ' ';
      out.append(number, std::to_chars(number, number + sizeof number, value).ptr);
    }
    out += '\n';
  }
  for (int f = 0; f < mesh.m_F.Count(); ++f) {
    const ON_MeshFace &face = mesh.m_F[f];
    if (!face.IsValid(mesh.m_V.Count()))
      continue;
    out += 'f';
    for (int k = 0; k < (face.IsTriangle() ? 3 : 4); ++k)
      out += ' ' + std::to_string(face.vi[k] + 1);
    out += '\n';
  }
  return out;
}

// Binary little-endian PLY: vertices in the points' precision (double or
// float), faces as lists of int indices.
std::string BinaryPly(vtkPolyData *data)
{
  vtkCellArray *polygons = data->GetPolys();
  const bool doubles = data->GetPoints()->GetDataType() == VTK_DOUBLE;
  const std::string type = doubles ? "double" : "float";
  std::string out = "ply\nformat binary_little_endian 1.0\nelement vertex " +
                    std::to_string(data->GetNumberOfPoints()) + "\nproperty " + type +
                    " x\nproperty " + type + " y\nproperty " + type + " z\nelement face " +
                    std::to_string(polygons->GetNumberOfCells()) +
                    "\nproperty list uchar int vertex_indices\nend_header\n";
  for (vtkIdType v = 0; v < data->GetNumberOfPoints(); ++v) {
    double p[3];
    data->GetPoint(v, p);
    for (double value : p)
      if (doubles)
        PutLittleEndian<double>(out, value);
      else
        PutLittleEndian<float>(out, float(value));
  }
  vtkIdType count;
  const vtkIdType *ids;
  for (polygons->InitTraversal(); polygons->GetNextCell(count, ids);) {
    PutLittleEndian<uint8_t>(out, uint8_t(count));
    for (vtkIdType k = 0; k < count; ++k)
      PutLittleEndian<int32_t>(out, int32_t(ids[k]));
  }
  return out;
}

// VTP through VTK, into memory: VTK's file writers do not report every
// failed write, so the bytes are written and checked here.
IoResult VtpBytes(vtkPolyData *data, const std::string &path, std::string &bytes)
{
  VtkMessageCapture messages;
  vtkNew<vtkXMLPolyDataWriter> writer;
  writer->SetInputData(data);
  writer->WriteToOutputStringOn();
  const bool written = writer->Write() && writer->GetErrorCode() == 0;
  bytes = writer->GetOutputString();
  if (!written || messages.HasError() || bytes.empty())
    return IoResult::Fail("cannot write " + path + ": " +
                          (messages.HasError() ? messages.LastError() : "the writer failed"));
  return IoResult::Ok();
}

} // namespace

IoResult WriteMesh(const std::string &path, const ON_Mesh &mesh)
{
  const std::string extension = LowerExtension(path);
  if (extension != "stl" && extension != "ply" && extension != "obj" && extension != "vtp")
    return IoResult::Fail(
        path + ": unknown mesh file type (writable: " + std::string(MeshExtensions()) + ")");
  if (mesh.m_V.Count() == 0 || mesh.m_F.Count() == 0)
    return IoResult::Fail("cannot write " + path + ": the mesh is empty");
  try {
    std::string bytes;
    if (extension == "obj") {
      bytes = Obj(mesh);
    } else {
      vtkSmartPointer<vtkPolyData> data;
      data.TakeReference(MeshToPolyData(mesh, extension == "stl"));
      if (extension == "stl") {
        bytes = BinaryStl(data);
      } else if (extension == "ply") {
        bytes = BinaryPly(data);
      } else {
        IoResult made = VtpBytes(data, path, bytes);
        if (!made)
          return made;
      }
    }
    return WriteAtomically(
        path, [&](const std::string &tempPath) { return WriteWholeFile(tempPath, bytes, path); });
  } catch (const std::bad_alloc &) {
    return IoResult::Fail("cannot write " + path + ": not enough memory");
  } catch (const std::exception &error) {
    return IoResult::Fail("cannot write " + path + ": " + error.what());
  }
}

} // namespace pelmora::io
