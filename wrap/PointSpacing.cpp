// Neighbour distances from a bucketed cloud; see PointSpacing.h.
#include "wrap/PointSpacing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace pelmora::wrap {

namespace {

// The points sorted into cubic cells, found by binary search on cell keys.
class CellIndex
{
public:
  CellIndex(const ON_3dPointArray &points, const ON_BoundingBox &box, double cellSize)
      : m_points(points), m_low(box.m_min), m_cellSize(cellSize)
  {
    m_entries.reserve(size_t(points.Count()));
    for (int i = 0; i < points.Count(); ++i)
      m_entries.push_back({Key(Cell(points[i], 0), Cell(points[i], 1), Cell(points[i], 2)), i});
    std::sort(m_entries.begin(), m_entries.end());
  }

  int Cell(const ON_3dPoint &p, int axis) const
  {
    return static_cast<int>((p[axis] - m_low[axis]) / m_cellSize);
  }

  // Calls visit(index) for every point of cell (x, y, z).
  template <class Visit> void ForCell(int x, int y, int z, Visit visit) const
  {
    if (x < 0 || y < 0 || z < 0 || x >= kSide || y >= kSide || z >= kSide)
      return;
    const std::uint64_t key = Key(x, y, z);
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), std::make_pair(key, -1));
    for (; it != m_entries.end() && it->first == key; ++it)
      visit(it->second);
  }

  const ON_3dPointArray &Points() const { return m_points; }
  double CellSize() const { return m_cellSize; }

private:
  static constexpr int kSide = 1 << 20;
  static std::uint64_t Key(int x, int y, int z)
  {
    return (std::uint64_t(x) << 40) | (std::uint64_t(y) << 20) | std::uint64_t(z);
  }

  const ON_3dPointArray &m_points;
  ON_3dPoint m_low;
  double m_cellSize;
  std::vector<std::pair<std::uint64_t, int>> m_entries;
};

// Distance from point `self` to its k-th nearest other point: widens the
// block of cells searched until the k-th distance lies within it.
double KthNeighbourDistance(const CellIndex &index, int self, int k)
{
  const ON_3dPoint &p = index.Points()[self];
  const int cx = index.Cell(p, 0), cy = index.Cell(p, 1), cz = index.Cell(p, 2);
  std::vector<double> squared;
  for (int reach = 1;; ++reach) {
    squared.clear();
    for (int x = cx - reach; x <= cx + reach; ++x)
      for (int y = cy - reach; y <= cy + reach; ++y)
        for (int z = cz - reach; z <= cz + reach; ++z)
          index.ForCell(x, y, z, [&](int i) {
            if (i != self)
              squared.push_back((index.Points()[i] - p).LengthSquared());
          });
    if (int(squared.size()) >= k) {
      std::nth_element(squared.begin(), squared.begin() + (k - 1), squared.end());
      const double distance = std::sqrt(squared[size_t(k - 1)]);
      if (distance <= reach * index.CellSize() || reach >= 16)
        return distance;
    } else if (reach >= 16) {
      return squared.empty() ? 0.0 : std::sqrt(*std::max_element(squared.begin(), squared.end()));
    }
  }
}

} // namespace

double MedianNeighbourDistance(const ON_3dPointArray &points, int k, int samples)
{
  const int count = points.Count();
  if (count < 2)
    return 0.0;
  k = std::min(k, count - 1);
  const ON_BoundingBox box = points.BoundingBox();
  const ON_3dVector extent = box.m_max - box.m_min;
  const double largest = std::max({extent.x, extent.y, extent.z});
  if (!(largest > 0.0))
    return 0.0;
  // About one cell per point across the largest extent's cube: a few dozen
  // points per occupied cell on a sampled surface.
  const double cellSize = largest / std::cbrt(double(count)) * 1.0000001;
  const CellIndex index(points, box, cellSize);
  std::vector<double> distances;
  const int step = std::max(1, count / std::max(1, samples));
  for (int i = 0; i < count; i += step)
    distances.push_back(KthNeighbourDistance(index, i, k));
  std::nth_element(distances.begin(), distances.begin() + distances.size() / 2, distances.end());
  return distances[distances.size() / 2];
}

} // namespace pelmora::wrap
