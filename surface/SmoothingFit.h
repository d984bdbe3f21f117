// Least-squares fit of a quadratic B-spline height field to scattered
// points with a bending-energy penalty:
//
//   minimise  (1/N) sum_i (z(x_i, y_i) - z_i)^2
//             + (weight / area) * integral (z_xx^2 + 2 z_xy^2 + z_yy^2) dA
//
// The weight has the units of a length to the fourth power; its fourth root
// is about the length over which the penalty smooths bumps away. Control
// values that no point reaches are held by the penalty alone (thin-plate
// filling). The normal equations are assembled in parallel and solved by
// conjugate gradients, started from the same fit on coarser grids.
#pragma once

#include "surface/HeightSpline.h"
#include "opennurbs.h"

namespace pelmora {

struct SmoothFit
{
  HeightSpline spline;
  double weight = 0.0; // the weight used
  double rms = 0.0;    // root mean square of the residuals z(x_i, y_i) - z_i
  bool chosen = false; // the weight was chosen by hold-out validation
  int iterations = 0;  // conjugate-gradient steps of the final solve
};

// Fits `count` finite points (x, y, z) over the rectangle of the axes.
// weight >= 0 uses that weight; a negative weight chooses it: a tenth of the
// points (picked by their index, deterministically) is held out, the weight
// that predicts them best among a geometric sweep is taken, and the fit is
// made again with every point (with fewer than 300 points: a quarter span,
// to the fourth). Weights below (span / 256)^4, 0 included, are raised to
// it so that control values without points stay held. Needs at least 3 points (fewer: false;
// points on one line leave the surface across it to the penalty). Returns
// false when the solve breaks down. Throws std::bad_alloc when memory runs
// out.
bool FitSmoothHeights(const ON_3dPoint *points, long long count, const SplineAxis &x,
                      const SplineAxis &y, double weight, SmoothFit &fit);

} // namespace pelmora
