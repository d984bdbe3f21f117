// Surfaces and exact checks shared by the opennurbs tests.
#pragma once

#include <cmath>

#include <gtest/gtest.h>

#include "opennurbs.h"

namespace opennurbs_test {

// Exact equality including the sign of zeros.
inline void ExpectSame(const ON_3dVector &a, const ON_3dVector &e, const char *what)
{
  for (int k = 0; k < 3; k++) {
    EXPECT_EQ(a[k], e[k]) << what << " [" << k << "]";
    EXPECT_EQ(std::signbit(a[k]), std::signbit(e[k])) << what << " sign [" << k << "]";
  }
}

// n0 x n1 control points cv(i, j) (3d or homogeneous), clamped uniform knots.
template <class Cv>
ON_NurbsSurface Grid(bool rational, int order0, int order1, int n0, int n1, Cv cv)
{
  ON_NurbsSurface surface(3, rational, order0, order1, n0, n1);
  for (int i = 0; i < n0; ++i)
    for (int j = 0; j < n1; ++j)
      surface.SetCV(i, j, cv(i, j));
  surface.MakeClampedUniformKnotVector(0);
  surface.MakeClampedUniformKnotVector(1);
  return surface;
}

// Order 3 x 3, CV(i,j) = (i, j, 0.1 i^2 + 0.2 j), domain [0,2] x [0,1].
inline ON_NurbsSurface QuadraticExample()
{
  return Grid(false, 3, 3, 4, 3,
              [](int i, int j) { return ON_3dPoint(i, j, 0.1 * i * i + 0.2 * j); });
}

// Height field z = height(x, y) on a unit-spaced n0 x n1 control grid.
template <class Height>
ON_NurbsSurface HeightField(int n0, int n1, Height height, int order0 = 3, int order1 = 3)
{
  return Grid(false, order0, order1, n0, n1,
              [&](int i, int j) { return ON_3dPoint(i, j, height(double(i), double(j))); });
}

inline ON_NurbsSurface Flat(int n0, int n1)
{
  return HeightField(n0, n1, [](double, double) { return 0.0; });
}

// Quarter cylinder of radius 1 about the z axis, height 2: s counterclockwise, t up.
inline ON_NurbsSurface QuarterCylinder()
{
  const double w = std::sqrt(0.5);
  const ON_4dPoint arc[3] = {{1, 0, 0, 1}, {w, w, 0, w}, {0, 1, 0, 1}};
  return Grid(true, 3, 2, 3, 2, [&](int i, int j) {
    return ON_4dPoint(arc[i].x, arc[i].y, arc[i].w * 2.0 * j, arc[i].w);
  });
}

} // namespace opennurbs_test
