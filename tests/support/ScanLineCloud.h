// Synthetic clouds as a scanner or a touch probe records them: points along
// parallel scan lines (dense along a line, sparse across), with jitter,
// noise, unscanned discs and an optional outline, fully determined by a
// seed.
#pragma once

#include "support/PointCloudGenerator.h"

namespace pelmora::test {

struct ScanSpec
{
  // Rectangle scanned; lines run along x at y = ymin, ymin + lineSpacing, ...
  double xmin = 0.0, xmax = 1.0;
  double ymin = 0.0, ymax = 1.0;
  double lineSpacing = 0.1;
  double pointSpacing = 0.01; // along a line
  double jitter = 0.2;        // of the point spacing, uniform
  HeightField height;         // flat when empty
  double noise = 0.0;         // Gaussian, on the height
  std::vector<Hole> holes;    // discs left unscanned
  // Keeps only the points where inside(x, y) holds (whole rectangle when
  // empty): outlines that are not rectangles.
  std::function<bool(double x, double y)> inside;
  std::uint64_t seed = 1;
};

ON_3dPointArray MakeScanLines(const ScanSpec &spec);

} // namespace pelmora::test
