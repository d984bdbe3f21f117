// The solid a watertight wrap bounds, on a voxel grid: every voxel within
// two voxels of a cloud point is blocked, the outside is flood-filled from
// the grid's border through the free voxels, and the solid is everything
// farther than one voxel from the outside. Hollows wider than five voxels
// let the outside in and are followed; narrower gaps between points are
// closed; enclosed cavities become solid. Internal to the wrap folder.
#pragma once

#include "opennurbs.h"

#include <vector>

namespace pelmora::wrap {

class StageProgress;

// Voxel edge per detail size: hollows wider than the detail are followed.
constexpr double kVoxelsPerDetail = 5.0;

struct VoxelGrid
{
  ON_3dPoint origin; // centre of voxel (0, 0, 0)
  double voxel = 0.0;
  int dims[3] = {0, 0, 0};
  double VoxelCount() const { return double(dims[0]) * dims[1] * dims[2]; }
};

// The grid for a cloud within `box` at detail `detail`: voxel detail / 5,
// and room around the box for the blocked band and the outside. The counts
// are doubles in VoxelCount, so a grid too large for memory is reported,
// not overflowed; dims are only meaningful when it fits an int each.
VoxelGrid PlanVoxelGrid(const ON_BoundingBox &box, double detail);

// Voxels whose memory a wrap may take: the smaller of 2^28 and what the
// machine's free memory holds at 10 bytes a voxel.
double VoxelBudget();
// The smallest detail whose grid for `box` holds at most `budget` voxels.
double SmallestDetail(const ON_BoundingBox &box, double budget);

// The share of the points (0 to 1) that the closing leaves outside the
// solid or in solid pieces holding less than 1 % of the points each:
// crumbs of a cloud whose detail is too fine for its noise or gaps. The
// grid must fit VoxelBudget().
double CrumbShare(const ON_3dPointArray &points, const VoxelGrid &grid);

// The signed distance, in voxels, from each voxel to the solid's surface
// (positive inside; the surface is the field's zero level), x fastest.
// The grid must fit VoxelBudget(). Reports its stages to `progress`
// between `from` and `to`.
std::vector<float> ClosingField(const ON_3dPointArray &points, const VoxelGrid &grid,
                                StageProgress &progress, double from, double to);

} // namespace pelmora::wrap
