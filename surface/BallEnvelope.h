// The surface a ball probe touched, recovered from the height field of its
// centres. Seen from above (the probe above the part), the part's surface
// is the lower envelope of the balls:
//
//   z(q) = min over centres c with |q - c| < r of  centre(c) - sqrt(r^2 - |q - c|^2)
//
// Where the part is curved more tightly than the ball, this is the hollow
// the ball could reach (a ball-shaped bridge), never the loop that moving
// each centre by r along its normal would make. Bridges are marked.
#pragma once

#include "surface/HeightSpline.h"
#include "opennurbs.h"

#include <vector>

namespace pelmora {

struct BallEnvelope
{
  int rows = 0, cols = 0;           // samples, row-major (x grows with the column)
  std::vector<ON_3dPoint> points;   // sample position and envelope height
  std::vector<unsigned char> tight; // 1 where the ball bridges a hollow
  int tightCount = 0;
  // 1 where the touching ball's centre lies inside the rectangle; where the
  // rectangle's border holds it, the balls beyond the border are missing
  // and the height there is only an upper bound.
  std::vector<unsigned char> supported;
};

// Samples the envelope on a grid with `samplesPerSpan` samples per span of
// the centres' spline (both axes), over the same rectangle. The minimum is
// taken over centres inside that rectangle only, so near its border the
// envelope rests on fewer balls. A sample is marked tight when the touching
// ball's centre, seen from one sample to the next, stands nearly still: a
// hollow narrower than the ball, which the ball bridges. (Where the centres
// bend more tightly than the ball, the envelope is the lowest of the balls
// there, and the normal offset would fold: that is the centre surface's
// curvature, tested on it directly.)
BallEnvelope EnvelopeOfBall(const HeightSpline &centres, double radius, int samplesPerSpan);

} // namespace pelmora
