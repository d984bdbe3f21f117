// Conversion of a pipeline's polygon output into an ON_Mesh. Internal to the
// wrap folder; not exported.
#pragma once

#include "opennurbs.h"

class vtkPolyData;

namespace pelmora::wrap {

// Replaces `mesh` with the points and polygons of `polyData`.
//   Vertices: the output points in id order, each coordinate the float the
//   pipeline holds widened to double, then moved by `origin` in double (the
//   pipelines work in a frame centred on the cloud). Both the double and
//   the single-precision vertices are filled. No normals, no texture
//   coordinates.
//   Faces: one per polygon in list order; a 3-id polygon becomes a triangle,
//   a polygon of four or more ids the quad of its first four ids.
// Result: true when the converted mesh passes ON_Mesh::IsValid. On false
// `mesh` is left empty; this happens for a missing point set or polygon
// list, a polygon with fewer than three ids or an id outside the point set,
// counts beyond int, or an invalid mesh. Sets no error text. May throw
// std::bad_alloc; the wrap frame catches it.
bool CreateMeshFromPolyData(ON_Mesh &mesh, vtkPolyData *polyData,
                            const ON_3dPoint &origin = ON_3dPoint(0.0, 0.0, 0.0));

} // namespace pelmora::wrap
