// Reading a surface written as STEP or IGES back with Open CASCADE.
#pragma once

#include "opennurbs.h"

#include <functional>
#include <string>
#include <vector>

namespace pelmora::test {

struct ReadBackSurface
{
  std::string error; // empty when the file held a B-spline face
  int degree[2] = {0, 0};
  std::vector<double> flatKnots[2];           // each knot repeated by its multiplicity
  std::vector<std::vector<ON_3dPoint>> poles; // poles[i][j], i along u
  std::vector<std::vector<double>> weights;   // the same layout; 1 when not rational
  bool faceChecked = false;                   // the face passed the shape checker
  std::function<ON_3dPoint(double, double)> pointAt;
};

// The first face's B-spline surface of the file (IGES by extension, else STEP).
ReadBackSurface ReadBackBSpline(const std::string &path);

// "" when the face passed the shape checker, the degrees, the knots
// (openNURBS's plus one at each end), the poles and the weights are exactly
// the same, and the points on a 7 x 7 parameter grid agree within
// `tolerance`; else the first difference.
std::string CompareSurfaces(const ON_NurbsSurface &expected, const ReadBackSurface &actual,
                            double tolerance);

} // namespace pelmora::test
