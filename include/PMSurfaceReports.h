// Plain results of the measuring operations of PMSurface: how well a grid
// fits a cloud and how far a cloud lies from a surface.
#pragma once

#include "opennurbs.h"

// How the nodes of a rows x cols grid over a cloud (seen along a drape
// direction) are reached by its points, each point going to its nearest
// node as in PMSurface::CreatePointMatrix.
struct PMGridCoverage
{
  int nodes = 0;         // rows x cols
  int filled = 0;        // nodes that receive at least one point
  int enclosedHoles = 0; // empty nodes with filled nodes on both sides along
                         // their row or along their column (holes inside
                         // the cloud's outline)
  int borderHoles = 0;   // empty nodes in the first or last row or column
                         // (lowered to the floor even when holes are
                         // interpolated); may be enclosed as well
};

// Signed distances from cloud points to a surface: positive on the side its
// normal points to. With a probe diameter the points are probe centres and
// the probe radius is subtracted.
struct PMDeviationReport
{
  int measured = 0;          // points with a deviation
  int skipped = 0;           // points with a non-finite coordinate or no closest point
  double rms = 0.0;          // root mean square of the deviations
  double mean = 0.0;         // mean of the signed deviations
  double percentile95 = 0.0; // 95 % of the points deviate by at most this (magnitude)
  double maximum = 0.0;      // the deviation of largest magnitude, signed
  ON_3dPoint maximumPoint;   // the cloud point where it occurs
  double tolerance = 0.0;    // the tolerance the points were counted against
  int beyondTolerance = 0;   // points whose deviation exceeds it in magnitude
};
