#include "surface/SeedGrid.h"
#include "surface/FiniteBounds.h"

#include <cmath>

namespace pelmora {

SeedGrid::SeedGrid(const ON_3dPointArray &aligned) : m_points(aligned)
{
  const FiniteBounds box = ComputeFiniteBounds(aligned);
  const double width = box.max.x - box.min.x, height = box.max.y - box.min.y;
  if (box.count == 0 || !std::isfinite(width) || !std::isfinite(height))
    return;
  // Square buckets holding about one control point each.
  const double area = std::fmax(width, 1e-300) * std::fmax(height, 1e-300);
  m_cell = std::sqrt(area / box.count);
  if (!(m_cell > 0.0) || !std::isfinite(m_cell))
    m_cell = std::fmax(std::fmax(width, height), 1.0);
  m_nx = static_cast<int>(std::fmin(width / m_cell + 1.0, 4.0 * box.count + 1.0));
  m_ny = static_cast<int>(std::fmin(height / m_cell + 1.0, 4.0 * box.count + 1.0));
  if (static_cast<double>(m_nx) * m_ny > 4.0 * box.count + 4.0) {
    m_nx = m_ny = 0; // too elongated to bucket: every query fails
    return;
  }
  m_x0 = box.min.x;
  m_y0 = box.min.y;

  // Counting sort of the control points into their buckets.
  const int n = aligned.Count();
  std::vector<int> bucketOf(static_cast<size_t>(n), -1);
  m_start.assign(static_cast<size_t>(m_nx) * m_ny + 1, 0);
  for (int k = 0; k < n; ++k) {
    if (!IsFinitePoint(aligned[k]))
      continue;
    bucketOf[k] =
        BucketAlong(aligned[k].y - m_y0, m_ny) * m_nx + BucketAlong(aligned[k].x - m_x0, m_nx);
    ++m_start[bucketOf[k] + 1];
  }
  for (size_t b = 1; b < m_start.size(); ++b)
    m_start[b] += m_start[b - 1];
  m_items.resize(static_cast<size_t>(m_start.back()));
  std::vector<int> fill(m_start.begin(), m_start.end() - 1);
  for (int k = 0; k < n; ++k)
    if (bucketOf[k] >= 0)
      m_items[fill[bucketOf[k]]++] = k;
}

int SeedGrid::BucketAlong(double offset, int count) const
{
  const double b = std::floor(offset / m_cell);
  if (!(b > 0.0))
    return 0;
  return b < count - 1 ? static_cast<int>(b) : count - 1;
}

bool SeedGrid::Within(double x, double y, double radius, int limit, std::vector<int> &found) const
{
  if (m_nx == 0 || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius))
    return false;
  const int i0 = BucketAlong(x - radius - m_x0, m_nx), i1 = BucketAlong(x + radius - m_x0, m_nx);
  const int j0 = BucketAlong(y - radius - m_y0, m_ny), j1 = BucketAlong(y + radius - m_y0, m_ny);
  for (int j = j0; j <= j1; ++j)
    for (int i = i0; i <= i1; ++i) {
      const int b = j * m_nx + i;
      for (int at = m_start[b]; at < m_start[b + 1]; ++at) {
        const ON_3dPoint &p = m_points[m_items[at]];
        if ((p.x - x) * (p.x - x) + (p.y - y) * (p.y - y) > radius * radius)
          continue;
        if (static_cast<int>(found.size()) >= limit)
          return false;
        found.push_back(m_items[at]);
      }
    }
  return true;
}

int SeedGrid::BucketOf(double x, double y) const
{
  if (m_nx == 0 || !std::isfinite(x) || !std::isfinite(y))
    return 0;
  return BucketAlong(y - m_y0, m_ny) * m_nx + BucketAlong(x - m_x0, m_nx);
}

int SeedGrid::Nearest(double x, double y) const
{
  if (m_nx == 0 || !std::isfinite(x) || !std::isfinite(y))
    return -1;
  const int bx = BucketAlong(x - m_x0, m_nx), by = BucketAlong(y - m_y0, m_ny);
  int best = -1;
  double bestDistance2 = 0.0;
  for (int reach = 1; reach <= 2 && best < 0; ++reach) {
    for (int j = by - reach; j <= by + reach; ++j) {
      if (j < 0 || j >= m_ny)
        continue;
      for (int i = bx - reach; i <= bx + reach; ++i) {
        if (i < 0 || i >= m_nx)
          continue;
        const int b = j * m_nx + i;
        for (int at = m_start[b]; at < m_start[b + 1]; ++at) {
          const ON_3dPoint &p = m_points[m_items[at]];
          const double distance2 = (p.x - x) * (p.x - x) + (p.y - y) * (p.y - y);
          if (best < 0 || distance2 < bestDistance2) {
            best = m_items[at];
            bestDistance2 = distance2;
          }
        }
      }
    }
  }
  return best;
}

} // namespace pelmora
