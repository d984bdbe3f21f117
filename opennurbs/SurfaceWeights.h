// Whether a surface's weights matter.
#pragma once

#include "opennurbs.h"

namespace pelmora {

// True when the surface stores weights and one of them differs from 1. A
// rational surface whose weights are all 1 is a polynomial one: it is
// evaluated and written as such.
bool HasWeightOtherThanOne(const ON_NurbsSurface &surface);

} // namespace pelmora
