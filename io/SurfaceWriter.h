// Writing a NURBS surface as STEP (.step, .stp) or IGES (.iges, .igs): one
// untrimmed face on a B-spline surface with the surface's own degrees, knots
// (openNURBS's knot list completed by its two end knots) and control points,
// every number in the shortest form that reads back exactly; weights are
// kept for rational surfaces. Streamed in large blocks, written atomically.
#pragma once

#include "io/IoResult.h"
#include "opennurbs.h"

#include <string>

namespace pelmora::io {

// Fails (nothing written) when the surface is not valid, is not 3-D or has a
// number that is not finite, or when the file cannot be written.
IoResult WriteSurface(const std::string &path, const ON_NurbsSurface &surface);

// "step, stp, iges, igs"
const char *SurfaceExtensions();

} // namespace pelmora::io
