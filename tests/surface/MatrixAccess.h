// Test access to the protected interpolation and small matrix helpers.
#pragma once

#include "PMSurface.h"

struct MatrixAccess : PMSurface
{
  using PMSurface::InterpolatePoint;
};

// rows x cols nodes at x = c * step, y = r * step, all with height z.
inline ON_3dPointArray GridMatrix(int rows, int cols, double step, double z)
{
  ON_3dPointArray m;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      m.Append(ON_3dPoint(c * step, r * step, z));
  return m;
}
