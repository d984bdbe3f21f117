// What the exchange formats need of a NURBS surface beyond its control
// points: the full knot vectors (openNURBS keeps order + cv_count - 2 knots;
// the formats repeat the first and the last once more), the same as distinct
// values and multiplicities, and the four boundary curves of the face.
#pragma once

#include "opennurbs.h"

#include <vector>

namespace pelmora::io {

std::vector<double> FullKnots(const ON_NurbsSurface &surface, int dir);

struct KnotRuns
{
  std::vector<double> values;
  std::vector<int> multiplicities;
};
KnotRuns KnotRunsOf(const ON_NurbsSurface &surface, int dir);

// The iso-curve where parameter `dir` is at the start (atEnd false) or the
// end of its domain, as a curve of the other parameter, with that
// parameter's degree and knots. For clamped knots its poles are the
// surface's boundary row of control points.
struct BoundaryCurve
{
  std::vector<ON_3dPoint> poles;
  std::vector<double> weights; // 1 for every pole of a non-rational surface
};
BoundaryCurve BoundaryOf(const ON_NurbsSurface &surface, int dir, bool atEnd);

// Whether every control point, weight and knot is a finite number.
bool IsFinite(const ON_NurbsSurface &surface);

} // namespace pelmora::io
