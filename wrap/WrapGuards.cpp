// Input checks for the wrap pipelines; see WrapGuards.h.
#include "wrap/WrapGuards.h"

#include <cfloat>
#include <cmath>

namespace pelmora::wrap {

FloatBounds ComputeFloatBounds(const ON_3dPointArray &points)
{
  FloatBounds bounds{{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, true, points.Count()};
  for (int i = 0; i < points.Count(); ++i) {
    const ON_3dPoint &point = points[i];
    const float coordinates[3] = {static_cast<float>(point.x), static_cast<float>(point.y),
                                  static_cast<float>(point.z)};
    for (int axis = 0; axis < 3; ++axis) {
      const double value = coordinates[axis];
      if (!std::isfinite(value)) {
        bounds.finite = false;
        return bounds;
      }
      if (i == 0 || value < bounds.min[axis])
        bounds.min[axis] = value;
      if (i == 0 || value > bounds.max[axis])
        bounds.max[axis] = value;
    }
  }
  return bounds;
}

ReconstructionGrid PredictReconstructionGrid(const FloatBounds &bounds)
{
  ReconstructionGrid grid{};
  if (bounds.pointCount < 1)
    return grid;
  double volume = 1.0;
  for (int axis = 0; axis < 3; ++axis)
    volume *= bounds.max[axis] - bounds.min[axis];
  grid.spacing = std::pow(volume / bounds.pointCount, 1.0 / 3.0);
  grid.sampleCount = 1.0;
  for (int axis = 0; axis < 3; ++axis) {
    const double low = bounds.min[axis] - grid.spacing * 2.0;
    const double high = bounds.max[axis] + grid.spacing * 2.0;
    grid.origin[axis] = low;
    grid.dimensions[axis] = std::trunc((high - low) / grid.spacing);
    grid.sampleCount *= grid.dimensions[axis];
  }
  return grid;
}

bool ConvexWrapCanRun(const FloatBounds &bounds)
{
  if (!bounds.finite || bounds.pointCount < 4)
    return false;
  for (int axis = 0; axis < 3; ++axis)
    if (!(bounds.max[axis] > bounds.min[axis]))
      return false;
  return true;
}

bool ConcaveWrapCanRun(const FloatBounds &bounds)
{
  if (!bounds.finite || bounds.pointCount < 1)
    return false;
  const ReconstructionGrid grid = PredictReconstructionGrid(bounds);
  if (!(std::isfinite(grid.spacing) && grid.spacing > 0.0))
    return false;
  if (!(grid.sampleCount >= 1.0 && grid.sampleCount <= kMaxReconstructionSamples))
    return false;
  for (int axis = 0; axis < 3; ++axis) {
    const double far = grid.origin[axis] + grid.dimensions[axis] * grid.spacing;
    if (!(grid.origin[axis] >= -FLT_MAX && far <= FLT_MAX))
      return false;
  }
  return true;
}

} // namespace pelmora::wrap
