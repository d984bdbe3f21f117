// Writing a point matrix (rows x cols points, row-major) by the target's
// extension: xyz (space separated, a "# rows R cols C" comment first), csv
// (an "x,y,z" title line first) or ply (binary little-endian doubles, rows
// and columns in a comment). Text coordinates are written with the fewest
// digits that read back to the same double. Written atomically.
#pragma once

#include "io/IoResult.h"
#include "opennurbs.h"

#include <string>

namespace pelmora::io {

IoResult WritePointMatrix(const std::string &path, const ON_3dPointArray &matrix, int rows,
                          int cols);

// "xyz, csv, ply"
const char *PointMatrixExtensions();

} // namespace pelmora::io
