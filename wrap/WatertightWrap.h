// The watertight wrap's core, shared by PMSurface::WrapWatertightMesh and
// the concave wrap's fallback. Internal to the wrap folder; not exported.
#pragma once

#include "opennurbs.h"

#include <string>

namespace pelmora::wrap {

class StageProgress;

// The detail size suggested for `points` (see PMSurface::SuggestWrapDetail).
double SuggestDetail(const ON_3dPointArray &points);

// Replaces `wrapped` with the closed, outward boundary of the cloud's
// voxel closing at `detail` (a suggested one when not positive). Result
// false with `why` set to the error text: "Invalid mesh" for a cloud
// without a finite point or without extent, or a message naming a detail
// that fits when the voxel grid would not fit in memory.
bool BuildWatertightMesh(const ON_3dPointArray &points, double detail, StageProgress &progress,
                         ON_Mesh &wrapped, std::string &why);

} // namespace pelmora::wrap
