// The height of a hole of the point matrix from its four neighbours: the
// mean of their heights weighted by the inverse of their distance in the
// x-y plane. Shared by PMSurface::InterpolatePoint (which searches the
// neighbours itself) and the interpolation sweep of CreatePointMatrix
// (which tracks them as it goes).
#pragma once

#include "opennurbs.h"

namespace pelmora {

// Element indices of the nearest known cells; -1 where there is none.
struct HoleNeighbours
{
  int left = -1;
  int right = -1;
  int previousRow = -1;
  int nextRow = -1;
};

// Writes the weighted mean into matrix[index].z; leaves the cell unchanged
// when no neighbour is given. All indices must be inside the matrix.
//
// The result is (sum of z/d) / (sum of 1/d) in the order left, right,
// previous row, next row. Where that is not finite although the heights
// are (spacings so small that 1/d overflows, or a neighbour at distance 0),
// the limit of the same mean is used instead: the plain mean of the
// neighbours at the smallest distance when it is 0, else the weights
// rescaled by the smallest distance.
void FillFromNeighbours(ON_3dPointArray &matrix, int index, const HoleNeighbours &neighbours);

} // namespace pelmora
