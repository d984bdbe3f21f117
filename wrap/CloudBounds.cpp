#include "wrap/CloudBounds.h"

#include <algorithm>
#include <cmath>

namespace pelmora::wrap {

bool FiniteBounds(const ON_3dPointArray &points, double low[3], double high[3])
{
  if (points.Count() == 0)
    return false;
  for (int axis = 0; axis < 3; ++axis)
    low[axis] = high[axis] = points[0][axis];
  for (int i = 0; i < points.Count(); ++i)
    for (int axis = 0; axis < 3; ++axis) {
      const double value = points[i][axis];
      if (!std::isfinite(value))
        return false;
      low[axis] = std::min(low[axis], value);
      high[axis] = std::max(high[axis], value);
    }
  return true;
}

} // namespace pelmora::wrap
