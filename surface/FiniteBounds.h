// The extent of a point cloud over its finite points only.
//
// A point with a NaN or infinite coordinate takes no part: it neither
// widens the box nor counts. The box of a cloud without any finite point
// is empty (count 0, corners unset).
#pragma once

#include "opennurbs.h"

#include <cmath>

namespace pelmora {

struct FiniteBounds
{
  int count = 0; // finite points seen
  ON_3dPoint min{0.0, 0.0, 0.0};
  ON_3dPoint max{0.0, 0.0, 0.0};
};

inline bool IsFinitePoint(const ON_3dPoint &point)
{
  return std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z);
}

// One pass over `points`. For clouds whose points are all finite the box
// equals ON_3dPointArray::BoundingBox.
FiniteBounds ComputeFiniteBounds(const ON_3dPointArray &points);

} // namespace pelmora
