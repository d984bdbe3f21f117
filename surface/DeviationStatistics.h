// The statistics of a deviation report from one value per point.
#pragma once

#include "PMSurfaceReports.h"
#include "opennurbs.h"

namespace pelmora {

// `deviations[i]` belongs to `points[i]`; NaN marks a point without a
// deviation (counted as skipped). The 95th percentile is the nearest-rank
// one of the magnitudes; the maximum is the first value of largest
// magnitude in point order.
PMDeviationReport SummarizeDeviations(const double *deviations, const ON_3dPoint *points, int count,
                                      double tolerance);

} // namespace pelmora
