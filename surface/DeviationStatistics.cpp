#include "surface/DeviationStatistics.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pelmora {

PMDeviationReport SummarizeDeviations(const double *deviations, const ON_3dPoint *points, int count,
                                      double tolerance)
{
  PMDeviationReport report;
  report.tolerance = tolerance;
  std::vector<double> magnitudes;
  magnitudes.reserve(static_cast<size_t>(count));
  double sum = 0.0, sumSquares = 0.0;
  for (int i = 0; i < count; ++i) {
    const double d = deviations[i];
    if (std::isnan(d)) {
      ++report.skipped;
      continue;
    }
    const double magnitude = std::fabs(d);
    magnitudes.push_back(magnitude);
    sum += d;
    sumSquares += d * d;
    if (magnitude > tolerance)
      ++report.beyondTolerance;
    if (magnitude > std::fabs(report.maximum) || magnitudes.size() == 1) {
      report.maximum = d;
      report.maximumPoint = points[i];
    }
  }
  report.measured = static_cast<int>(magnitudes.size());
  if (report.measured == 0)
    return report;
  report.mean = sum / report.measured;
  report.rms = std::sqrt(sumSquares / report.measured);
  const size_t rank = static_cast<size_t>(std::ceil(0.95 * report.measured)) - 1;
  std::nth_element(magnitudes.begin(), magnitudes.begin() + rank, magnitudes.end());
  report.percentile95 = magnitudes[rank];
  return report;
}

} // namespace pelmora
