// Whether a wrap's mesh is what a wrap promises: closed, 2-manifold and
// consistently oriented. Internal to the wrap folder; not exported.
#pragma once

#include "opennurbs.h"

namespace pelmora::wrap {

// True when every edge is shared by exactly two faces crossing it in
// opposite directions and the faces around every vertex form one fan
// (quads count as two triangles), and the mesh passes ON_Mesh::IsValid.
bool IsClosedManifold(const ON_Mesh &mesh);

// Six times the volume the faces enclose (positive when they face
// outward), from the double-precision vertices when the mesh has them.
double EnclosedVolume6(const ON_Mesh &mesh);

} // namespace pelmora::wrap
