// How far apart a cloud's points lie, for choosing a detail size. Internal
// to the wrap folder; not exported.
#pragma once

#include "opennurbs.h"

namespace pelmora::wrap {

// The median, over up to `samples` points spread through the cloud, of the
// distance from a point to its k-th nearest other point. Gaps between scan
// lines show up once k reaches across to the next line. 0 for fewer than
// two points. The coordinates must be finite.
double MedianNeighbourDistance(const ON_3dPointArray &points, int k, int samples);

} // namespace pelmora::wrap
