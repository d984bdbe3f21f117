// Small point arrays shared by the surface tests.
#pragma once

#include "PMSurface.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>

struct MatrixAccess : PMSurface
{
  using PMSurface::InterpolatePoint;
};

inline void PrintTo(const ON_3dPoint &p, std::ostream *os)
{
  *os << "(" << p.x << ", " << p.y << ", " << p.z << ")";
}

inline ON_3dPointArray Points(std::initializer_list<ON_3dPoint> list)
{
  ON_3dPointArray points;
  for (const ON_3dPoint &p : list)
    points.Append(p);
  return points;
}

// rows x cols nodes (c * step, r * step, z(r, c)), row-major.
template <class Height> ON_3dPointArray Grid(int rows, int cols, double step, Height z)
{
  ON_3dPointArray m;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      m.Append(ON_3dPoint(c * step, r * step, z(r, c)));
  return m;
}

// The same nodes with the heights listed row by row.
inline ON_3dPointArray Grid(int rows, int cols, double step, std::initializer_list<double> z)
{
  return Grid(rows, cols, step, [&](int r, int c) { return z.begin()[r * cols + c]; });
}

// The same count and exactly the same points.
inline void ExpectSame(const ON_3dPointArray &expected, const ON_3dPointArray &actual)
{
  ASSERT_EQ(expected.Count(), actual.Count());
  for (int k = 0; k < expected.Count(); ++k)
    ASSERT_EQ(expected[k], actual[k]) << "point " << k;
}
