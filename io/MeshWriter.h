// Writing a mesh by the target's extension: stl (binary, quads
// split into two triangles), ply (binary), obj, vtp (XML poly data). Vertex
// coordinates are the mesh's single-precision vertices. Written atomically.
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

// The mesh as new VTK poly data (caller calls Delete()): float points and
// one polygon per valid face (two triangles per quad when `splitQuads`).
vtkPolyData *MeshToPolyData(const ON_Mesh &mesh, bool splitQuads);

} // namespace pelmora::io
