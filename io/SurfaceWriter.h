// Writing a NURBS surface as STEP (.step, .stp) or IGES (.iges, .igs)
// through Open CASCADE: one untrimmed face on a B-spline surface with the
// surface's own degrees, knots (openNURBS's knot list completed by its two
// end knots) and control points; weights are kept for rational surfaces.
// Open CASCADE's console messages are silenced. Written atomically.
#pragma once

#include "io/IoResult.h"
#include "opennurbs.h"

#include <string>

namespace pelmora::io {

// Fails (nothing written) when the surface is not valid, is not 3-D, or the
// format rejects it.
IoResult WriteSurface(const std::string &path, const ON_NurbsSurface &surface);

// "step, stp, iges, igs"
const char *SurfaceExtensions();

} // namespace pelmora::io
