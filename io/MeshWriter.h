// Writing a mesh by the target's extension: stl (binary, single precision
// by the format, quads split into two triangles), ply (binary), obj (text),
// vtp (XML poly data). ply, obj and vtp carry the mesh's double-precision
// vertices when it has them (ON_Mesh::m_dV), so a mesh far from the origin
// keeps its coordinates; otherwise its single-precision vertices. Written
// atomically.
#pragma once

#include "io/IoResult.h"
#include "opennurbs.h"

#include <string>

class vtkPolyData;

namespace pelmora::io {

// Fails (nothing written) for an empty mesh or a writer error.
IoResult WriteMesh(const std::string &path, const ON_Mesh &mesh);

// "stl, ply, obj, vtp"
const char *MeshExtensions();

// The mesh as new VTK poly data (caller calls Delete()): double points when
// the mesh has double-precision vertices, float points otherwise, and one
// polygon per valid face (two triangles per quad when `splitQuads`).
vtkPolyData *MeshToPolyData(const ON_Mesh &mesh, bool splitQuads);

} // namespace pelmora::io
