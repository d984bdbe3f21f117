// Writing the deviation of every cloud point by the target's extension:
// csv (an "x,y,z,deviation,fold" title line, then one line per point; the
// deviation field is empty where none was measured) or ply (binary
// little-endian: x, y, z and deviation as doubles, NaN where none was
// measured, and fold as an unsigned char). fold is 1 where the point's
// closest surface point lies in a region where the probe compensation folds
// the surface. Written atomically.
#pragma once

#include "io/IoResult.h"
#include "opennurbs.h"

#include <string>

namespace pelmora::io {

// `deviations` and `folded` hold one value per point.
IoResult WriteDeviations(const std::string &path, const ON_3dPointArray &points,
                         const double *deviations, const unsigned char *folded);

// "csv, ply"
const char *DeviationExtensions();

} // namespace pelmora::io
