// Input checks that keep clouds the VTK filters cannot take away from them.
//
// The filters see the cloud as single-precision points, so every check here
// works on the coordinates converted to float, exactly as the filters will
// see them. Internal to the wrap folder; not exported.
#pragma once

#include "opennurbs.h"

namespace pelmora::wrap {

// Axis-aligned bounds of a cloud after conversion to float, widened back to
// double (the bounds the filters compute from their input).
struct FloatBounds
{
  double min[3];
  double max[3];
  bool finite; // every coordinate of every point is finite as a float
  int pointCount;
};

FloatBounds ComputeFloatBounds(const ON_3dPointArray &points);

// The most sample points the concave wrap lets the reconstruction filter
// allocate (2^24, about 0.7 GB of pipeline data at peak). Ordinary clouds
// need about one sample per point; only very flat clouds reach this.
constexpr double kMaxReconstructionSamples = 16777216.0;

// The regular sample grid that the surface reconstruction filter builds for
// a cloud when its sample spacing is automatic: the spacing is the cube root
// of the bounding-box volume per point, the box grows by two spacings on
// every side, and each dimension is that padded extent divided by the
// spacing, truncated.
struct ReconstructionGrid
{
  double spacing;
  double origin[3];
  double dimensions[3]; // as doubles, so huge grids do not overflow
  double sampleCount;
};

ReconstructionGrid PredictReconstructionGrid(const FloatBounds &bounds);

// True when the convex wrap can make at least one tetrahedron: four or more
// float-finite points whose bounds have extent along all three axes. (An
// empty cloud would crash the triangulation; a flat one only wastes time.)
bool ConvexWrapCanRun(const FloatBounds &bounds);

// True when the reconstruction filter can sample the cloud: at least one
// float-finite point, a bounding box of positive volume (a zero volume
// makes the filter's spacing zero and its grid size undefined), a grid of
// at most kMaxReconstructionSamples samples, and a padded grid that stays
// within single-precision range.
bool ConcaveWrapCanRun(const FloatBounds &bounds);

} // namespace pelmora::wrap
