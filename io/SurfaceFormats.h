// The two surface formats, written straight from the surface: one untrimmed
// face bounded by the surface's four boundary curves.
#pragma once

#include "io/TextOutput.h"
#include "opennurbs.h"

#include <string>

namespace pelmora::io {

// STEP AP214 (automotive design): product, shape representation, shell
// based surface model, advanced face on the B-spline surface, its edges as
// B-spline curves with their parameter-space lines; millimetres.
void WriteStep(TextOutput &out, const ON_NurbsSurface &surface, const std::string &name);

// IGES 5.3: a trimmed surface (entity 144) that uses the whole of its
// rational B-spline surface (entity 128); millimetres.
void WriteIges(TextOutput &out, const ON_NurbsSurface &surface, const std::string &name);

// "YYYY-MM-DDThh:mm:ss" (STEP) or "YYYYMMDD.hhmmss" (IGES), local time now.
std::string TimeStamp(bool iges);

} // namespace pelmora::io
