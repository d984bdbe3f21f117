// Sampling of one bispan on a regular g x g parameter grid, for the
// closest-point query: sample points, their squared distances to a point,
// and a lower bound of the distance to each grid cell.
#pragma once

#include "ClosestPointRefine.h"
#include "NurbsBasis.h"
#include "opennurbs.h"

#include <algorithm>

namespace pelmora {

// The largest grid: 2 x order + 1 samples a side for orders up to
// kMaxFastOrder.
constexpr int kMaxSamples = 2 * kMaxFastOrder + 1;

// Squared distances from p to a g x g grid of points (2 <= g <= kMaxSamples)
// evenly spread over rect on bispan (span0, span1) of S (orders up to
// kMaxFastOrder); the points row-major in points, their squared distances
// in dist2 (+infinity where not finite). Both arrays hold g x g entries.
void SampleBispan(const ON_NurbsSurface &S, bool rational, int span0, int span1,
                  const ParameterRect &rect, int g, const double *p, double *dist2,
                  double (*points)[3]);

// Squared distance from p to the box of the four corners of grid cell (i, j).
inline double CellGap2(const double (*points)[3], int g, int i, int j, const double *p)
{
  const int corner[4] = {i * g + j, i * g + j + 1, (i + 1) * g + j, (i + 1) * g + j + 1};
  double gap2 = 0.0;
  for (int c = 0; c < 3; ++c) {
    double lo = points[corner[0]][c], hi = lo;
    for (int k = 1; k < 4; ++k) {
      lo = std::min(lo, points[corner[k]][c]);
      hi = std::max(hi, points[corner[k]][c]);
    }
    const double gap = lo > p[c] ? lo - p[c] : (p[c] > hi ? p[c] - hi : 0.0);
    gap2 += gap * gap;
  }
  return gap2;
}

} // namespace pelmora
