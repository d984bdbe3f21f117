// A height field z(x, y) given by a quadratic B-spline over a rectangle:
// columns along x, rows along y, control heights row-major (element
// row * cols + col). The control points of the matching NURBS surface sit
// at the axes' Greville abscissae, so the surface is exactly this graph.
#pragma once

#include "surface/SplineAxis.h"

#include <cstddef>
#include <vector>

namespace pelmora {

// Height, gradient and second derivatives at one position.
struct HeightJet
{
  double z = 0.0;
  double zx = 0.0, zy = 0.0;
  double zxx = 0.0, zxy = 0.0, zyy = 0.0;
};

struct HeightSpline
{
  SplineAxis x; // columns
  SplineAxis y; // rows
  std::vector<double> heights;

  int Rows() const { return y.Count(); }
  int Cols() const { return x.Count(); }

  double HeightAt(double px, double py) const;
  HeightJet JetAt(double px, double py) const;
};

} // namespace pelmora
