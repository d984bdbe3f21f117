// PMSurface::AnalyzePoints: suggests a grid of about one node per point with
// cells about as wide as they are high.
//
//   ratio = x extent / y extent,  rows = trunc(sqrt(n / ratio)),
//   cols = trunc(rows * ratio)
//
// Only finite points count (n and the extent). The suggestion is always at
// least 1 x 1 and never has more cells than points: a cloud without extent
// along one axis follows the other one (n x 1 or 1 x n), and one without any
// extent (empty, a single point, all points stacked) gets 1 x 1.
#include "PMSurface.h"
#include "surface/FiniteBounds.h"
#include "framework/Guarded.h"

#include <cmath>

namespace {

// trunc(value) limited to [low, high]; NaN gives low. Never converts a value
// that does not fit an int.
int TruncateInto(double value, int low, int high)
{
  if (!(value >= low))
    return low;
  if (value >= high)
    return high;
  return static_cast<int>(value);
}

// x extent / y extent. Halves are subtracted when a full extent would
// overflow, so clouds spanning most of the double range still get a ratio.
double ExtentRatio(const pelmora::FiniteBounds &box)
{
  const double width = box.max.x - box.min.x;
  const double height = box.max.y - box.min.y;
  if (std::isfinite(width) && std::isfinite(height))
    return width / height;
  return (0.5 * box.max.x - 0.5 * box.min.x) / (0.5 * box.max.y - 0.5 * box.min.y);
}

void SuggestGrid(const ON_3dPointArray &points, int &rows, int &cols)
{
  const pelmora::FiniteBounds box = pelmora::ComputeFiniteBounds(points);
  const int n = box.count;
  const bool spansX = box.max.x > box.min.x;
  const bool spansY = box.max.y > box.min.y;
  if (n <= 1 || (!spansX && !spansY)) {
    rows = 1;
    cols = 1;
    return;
  }
  if (!spansX) {
    rows = n;
    cols = 1;
    return;
  }
  if (!spansY) {
    rows = 1;
    cols = n;
    return;
  }
  const double ratio = ExtentRatio(box);
  const int suggestedRows = TruncateInto(std::sqrt(n / ratio), 1, n);
  const int suggestedCols = TruncateInto(suggestedRows * ratio, 1, n / suggestedRows);
  rows = suggestedRows;
  cols = suggestedCols;
}

} // namespace

void PMSurface::AnalyzePoints(const ON_3dPointArray &points, const ON_3dVector & /*direction*/,
                              int &rows, int &cols)
{
  pelmora::Guarded([&] { SuggestGrid(points, rows, cols); },
                   [&](pelmora::Failure) noexcept {
                     rows = 1;
                     cols = 1;
                   });
}
