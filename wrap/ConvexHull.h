// The exact convex hull of a cloud, computed by qhull in double precision.
// Internal to the wrap folder; not exported.
#pragma once

#include "opennurbs.h"

namespace pelmora::wrap {

class StageProgress;

// Replaces `hull` with the convex hull of `points`: a closed, 2-manifold
// triangle mesh whose faces face outward and whose vertices are cloud
// points (their exact doubles, in ascending cloud order; exact duplicates
// count once). Coplanar hull faces are triangulated, so some triangles may
// have zero area where cloud points lie on a hull edge. Points inside or on
// the hull within qhull's rounding (about 1e-15 of the cloud's extent per
// axis) are not vertices.
// Result: false, with `hull` empty, when the cloud has a non-finite
// coordinate or no four points off one plane (none, coplanar, collinear,
// duplicates), or qhull fails. Reports its stages to `progress`. May throw
// std::bad_alloc.
bool ComputeConvexHull(const ON_3dPointArray &points, StageProgress &progress, ON_Mesh &hull);

} // namespace pelmora::wrap
