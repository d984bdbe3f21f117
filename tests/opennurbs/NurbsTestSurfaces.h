// Surfaces shared by the NURBS tests.
#pragma once

#include <cmath>

#include "opennurbs.h"

namespace nurbs_test {

// Order 3 x 3, 4 x 3 control points CV(i,j) = (i, j, 0.1 i^2 + 0.2 j), clamped
// uniform knots: domain [0,2] x [0,1].
inline ON_NurbsSurface QuadraticExample()
{
  ON_NurbsSurface surface(3, false, 3, 3, 4, 3);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j)
      surface.SetCV(i, j, ON_3dPoint(i, j, 0.1 * i * i + 0.2 * j));
  surface.MakeClampedUniformKnotVector(0);
  surface.MakeClampedUniformKnotVector(1);
  return surface;
}

// Height field z = height(x, y) on an n0 x n1 control grid with unit spacing,
// orders given, clamped uniform knots. Rational with unit weights when asked.
template <class Height>
ON_NurbsSurface HeightField(int n0, int n1, Height height, int order0 = 3, int order1 = 3,
                            bool rational = false)
{
  ON_NurbsSurface surface(3, rational, order0, order1, n0, n1);
  for (int i = 0; i < n0; ++i)
    for (int j = 0; j < n1; ++j)
      surface.SetCV(i, j, ON_3dPoint(i, j, height(double(i), double(j))));
  surface.MakeClampedUniformKnotVector(0);
  surface.MakeClampedUniformKnotVector(1);
  return surface;
}

} // namespace nurbs_test
