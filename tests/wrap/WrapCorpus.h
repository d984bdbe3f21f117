// Clouds shaped like real data, made by the tests: points on a sphere, scan
// lines over a part, a thin shell, a noisy torus, a hollow box with a
// recess, duplicates, far offsets and a flat disc.
#pragma once

#include "opennurbs.h"

#include <string>
#include <vector>

namespace pelmora::test {

struct CorpusCloud
{
  std::string name;
  ON_3dPointArray points;
  bool solid;          // four or more points off one plane
  bool allExtreme;     // every distinct point is a corner of the hull
  int watertightEuler; // Euler characteristic of a wrap that follows hollows
};

std::vector<CorpusCloud> WrapCorpus();

// The cloud moved by `offset`.
ON_3dPointArray Shifted(const ON_3dPointArray &points, const ON_3dVector &offset);

// Points of an axis-aligned box surface (a grid on each face, `step` apart)
// with a rectangular pocket `depth` deep cut into its top face.
ON_3dPointArray BoxWithRecess(double step, double depth);

} // namespace pelmora::test
