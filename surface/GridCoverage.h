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

// The coverage of a rows x cols grid over `box` (the finite bounds of
// `aligned`). rows and cols at least 1; the box must have an extent along x
// for more than one column and along y for more than one row. `filled`
// receives one flag per node (row-major); it is reused scratch space.
PMGridCoverage MeasureCoverage(const ON_3dPointArray &aligned, const FiniteBounds &box, int rows,
                               int cols, std::vector<unsigned char> &filled);

// Share of the nodes that matter for a fit that receive a point: filled /
// (filled + enclosed holes); 0 for a grid nothing reaches.
double FilledShare(const PMGridCoverage &coverage);

} // namespace pelmora
