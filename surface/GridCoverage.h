// Which nodes of a grid laid over an aligned cloud receive a point, counted
// the way the point matrix assigns points (nearest node), and how the empty
// ones lie: enclosed by filled nodes along their row or column, or on the
// border of the grid.
#pragma once

#include "PMSurfaceReports.h"
#include "opennurbs.h"
#include "surface/FiniteBounds.h"

#include <vector>

namespace pelmora {

// The finite points of an aligned cloud as (x, y) offsets from the lower
// corner of `box` (its finite bounds), pair after pair: what every coverage
// pass reads, made once for a search that tries many grids.
std::vector<double> CornerOffsets(const ON_3dPointArray &aligned, const FiniteBounds &box);

// The coverage of a rows x cols grid over `box` of the points whose corner
// offsets are given. rows and cols at least 1; the box must have an extent
// along x for more than one column and along y for more than one row.
// `filled` receives one flag per node (row-major); it is reused scratch
// space.
PMGridCoverage MeasureCoverage(const std::vector<double> &offsets, const FiniteBounds &box,
                               int rows, int cols, std::vector<unsigned char> &filled);

// Share of the nodes that matter for a fit that receive a point: filled /
// (filled + enclosed holes); 0 for a grid nothing reaches.
double FilledShare(const PMGridCoverage &coverage);

} // namespace pelmora
