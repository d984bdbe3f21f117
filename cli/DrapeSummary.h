// What `pelmora drape` tells the user about a drape: the grid and how its
// nodes were filled, the probe, the surface, how far the cloud lies from the
// surface, and where the probe compensation folds it.
#pragma once

#include "PMSurface.h"
#include "PMSurfaceReports.h"
#include "opennurbs.h"

#include <string>
#include <vector>

namespace pelmora::cli {

struct DrapeOutcome
{
  ON_3dPointArray matrix; // rows x cols, caller's orientation
  int rows = 0, cols = 0;
  std::string gridOrigin; // "fitted to the cloud's spacing", "even: ...", or empty
  ON_NurbsSurface surface;
  double probeDiameter = 0.0;
  bool interpolated = true;  // interior holes filled (else lowered to the floor)
  PMGridCoverage coverage;   // of the grid by the cloud
  ON_SimpleArray<int> folds; // matrix indices where the compensation folds
                             // (accurate fit: where the ball could not follow)
  bool accurate = false;     // the accurate fit (--fit accurate), not the sheet
  PMFitReport fit;           // what the accurate fit found

  // Per cloud point: signed deviation (NaN where none), surface parameters
  // of its closest point, and whether it falls on a fold node.
  PMDeviationReport deviation;
  ON_SimpleArray<double> deviations;
  ON_2dPointArray parameters;
  std::vector<unsigned char> onFold;
  bool hasTolerance = false;
};

// Marks the points that fall on a fold node seen along the drape direction:
// whose nearest grid node (the node the point matrix gives them to) is one.
// (Their closest surface points are no guide: where the compensation folds,
// the surface has turned over.)
std::vector<unsigned char> PointsOnFolds(const DrapeOutcome &outcome, const ON_3dPointArray &points,
                                         const ON_3dVector &direction);

// The grid nodes (matrix indices, increasing, each once) that `marked`
// points fall on, seen along the drape direction over the cloud `points`.
ON_SimpleArray<int> NodesUnder(const ON_3dPointArray &marked, const DrapeOutcome &outcome,
                               const ON_3dPointArray &points, const ON_3dVector &direction);

void PrintDrapeSummary(const std::string &cloudName, int pointCount, const double direction[3],
                       const DrapeOutcome &outcome);

} // namespace pelmora::cli
