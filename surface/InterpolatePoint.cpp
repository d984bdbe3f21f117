// PMSurface::InterpolatePoint: fills one hole of a point matrix from the
// nearest known cell (z >= floorZ) in each of the four grid directions.
#include "PMSurface.h"
#include "surface/InverseDistance.h"

#include <cmath>

namespace pelmora {

namespace {

constexpr int kSlots = 4;

int NeighbourAt(const HoleNeighbours &n, int slot)
{
  switch (slot) {
  case 0:
    return n.left;
  case 1:
    return n.right;
  case 2:
    return n.previousRow;
  default:
    return n.nextRow;
  }
}

// The limit of the inverse-distance mean when 1/d is not representable:
// neighbours at distance 0 take all the weight; otherwise the weights are
// taken relative to the nearest neighbour, which keeps them in (0, 1].
double LimitMean(const double (&z)[kSlots], const double (&d)[kSlots],
                 const bool (&present)[kSlots])
{
  double nearest = INFINITY;
  for (int k = 0; k < kSlots; ++k)
    if (present[k] && d[k] < nearest)
      nearest = d[k];
  double weight[kSlots] = {0.0, 0.0, 0.0, 0.0};
  double total = 0.0;
  for (int k = 0; k < kSlots; ++k) {
    if (!present[k])
      continue;
    if (nearest == 0.0 || std::isinf(nearest) || std::isnan(d[k]))
      weight[k] = d[k] == nearest ? 1.0 : 0.0;
    else
      weight[k] = nearest / d[k];
    total += weight[k];
  }
  double mean = 0.0;
  for (int k = 0; k < kSlots; ++k)
    if (weight[k] > 0.0)
      mean += weight[k] / total * z[k];
  return mean;
}

} // namespace

void FillFromNeighbours(ON_3dPointArray &matrix, int index, const HoleNeighbours &neighbours)
{
  const ON_2dPoint cell(matrix[index]);
  double z[kSlots] = {0.0, 0.0, 0.0, 0.0};
  double d[kSlots] = {0.0, 0.0, 0.0, 0.0};
  bool present[kSlots] = {false, false, false, false};
  bool any = false;
  double weighted = 0.0;
  double weights = 0.0;
  for (int k = 0; k < kSlots; ++k) {
    const int n = NeighbourAt(neighbours, k);
    if (n < 0)
      continue;
    present[k] = true;
    z[k] = matrix[n].z;
    d[k] = cell.DistanceTo(ON_2dPoint(matrix[n]));
    const double w = 1.0 / d[k];
    weighted = any ? weighted + w * z[k] : w * z[k];
    weights = any ? weights + w : w;
    any = true;
  }
  if (!any)
    return;
  double height = weighted / weights;
  if (!std::isfinite(height))
    height = LimitMean(z, d, present);
  matrix[index].z = height;
}

} // namespace pelmora

void PMSurface::InterpolatePoint(ON_3dPointArray &matrix, int rows, int cols, int index,
                                 int /*row*/, int /*col*/, double floorZ)
{
  // The cell is taken from `index`; every search stays inside the cell's own
  // row or column and inside the array, so a call outside the precondition
  // (a border cell, missing border cells, counts that do not match the
  // array) uses the neighbours that exist.
  const int count = matrix.Count();
  if (rows < 1 || cols < 1 || index < 0 || index >= count)
    return;
  const int row = index / cols;
  const int col = index % cols;
  auto known = [&](int k) { return matrix[k].z >= floorZ; };

  pelmora::HoleNeighbours n;
  for (int c = col - 1; c >= 0; --c)
    if (known(index - (col - c))) {
      n.left = index - (col - c);
      break;
    }
  for (int c = col + 1; c < cols && index + (c - col) < count; ++c)
    if (known(index + (c - col))) {
      n.right = index + (c - col);
      break;
    }
  for (int r = row - 1; r >= 0; --r)
    if (known(index - (row - r) * cols)) {
      n.previousRow = index - (row - r) * cols;
      break;
    }
  for (long long k = index + static_cast<long long>(cols), r = row + 1; r < rows && k < count;
       k += cols, ++r)
    if (known(static_cast<int>(k))) {
      n.nextRow = static_cast<int>(k);
      break;
    }
  pelmora::FillFromNeighbours(matrix, index, n);
}
