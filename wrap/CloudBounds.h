// The bounding box of a cloud, for the frames the wraps compute in.
#pragma once

#include "opennurbs.h"

namespace pelmora::wrap {

// The least and greatest coordinate of the points along each axis. False
// for an empty cloud or a coordinate that is not finite, which no frame can
// hold.
bool FiniteBounds(const ON_3dPointArray &points, double low[3], double high[3]);

} // namespace pelmora::wrap
