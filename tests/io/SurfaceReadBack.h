// Reading a surface written as STEP or IGES back with Open CASCADE, for the
// round-trip tests of the surface writer and the pelmora command.
#pragma once

#include "opennurbs.h"

#include <memory>
#include <string>
#include <vector>

namespace pelmora::test {

struct ReadBackSurface
{
  bool ok = false;
  std::string error;
  int degree[2] = {0, 0};
  std::vector<double> flatKnots[2];           // every knot repeated by its multiplicity
  std::vector<std::vector<ON_3dPoint>> poles; // poles[i][j], i along u
  std::vector<std::vector<double>> weights;
  ON_3dPoint PointAt(double u, double v) const;
  void *handle = nullptr; // the Geom_BSplineSurface, kept alive by `keep`
  std::shared_ptr<void> keep;
};

// The single face's B-spline surface of the file (STEP or IGES by extension).
ReadBackSurface ReadBackBSpline(const std::string &path);

// The textbook knot vector of `surface` in `dir`: openNURBS's knots with the
// first and the last repeated once more.
std::vector<double> FullKnots(const ON_NurbsSurface &surface, int dir);

// Checks degrees, knots, poles and points at a 7 x 7 grid of parameters
// against `expected`, poles and points within `tolerance`; returns "" when
// all agree, else the first difference.
std::string CompareSurfaces(const ON_NurbsSurface &expected, const ReadBackSurface &actual,
                            double tolerance);

} // namespace pelmora::test
