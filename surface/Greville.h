// The Greville abscissa of a control point: the mean of its order - 1 knots,
// the parameter at which the control point weighs most on the surface.
#pragma once

#include "opennurbs.h"

namespace pelmora {

inline double GrevilleAbscissa(const ON_NurbsSurface &surface, int dir, int index)
{
  double sum = 0.0;
  for (int k = 0; k < surface.Order(dir) - 1; ++k)
    sum += surface.Knot(dir, index + k);
  return sum / (surface.Order(dir) - 1);
}

} // namespace pelmora
