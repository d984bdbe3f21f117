// A starting point for closest-point searches on a surface that is seen
// along a direction, like a drape: its control points, in the frame where
// the direction points down, are bucketed by x and y, and a query point
// starts from the control point nearest to it in that plane.
#pragma once

#include "opennurbs.h"

#include <vector>

namespace pelmora {

class SeedGrid
{
public:
  // `aligned`: the control points in the aligned frame, any order.
  explicit SeedGrid(const ON_3dPointArray &aligned);

  // Index (into `aligned`) of the control point nearest to (x, y) in the
  // x-y plane among those of the buckets around it; -1 when there is none
  // within two buckets or the grid is empty.
  int Nearest(double x, double y) const;

  // Appends to `found` the control points within `radius` of (x, y) in the
  // x-y plane; false (with `found` incomplete) as soon as there are more
  // than `limit` of them.
  bool Within(double x, double y, double radius, int limit, std::vector<int> &found) const;

  // The bucket of (x, y) (held to the grid; 0 for a non-finite position)
  // and the number of buckets: visiting query points bucket by bucket keeps
  // the control points they read in the caches.
  int BucketOf(double x, double y) const;
  int BucketCount() const { return m_nx > 0 ? m_nx * m_ny : 1; }

  // The side of a bucket: about the spacing of the control points.
  double Spacing() const { return m_cell; }

private:
  int BucketAlong(double offset, int count) const;

  const ON_3dPointArray &m_points;
  double m_x0 = 0.0, m_y0 = 0.0, m_cell = 0.0;
  int m_nx = 0, m_ny = 0;
  std::vector<int> m_start; // bucket b holds m_items[m_start[b] .. m_start[b + 1])
  std::vector<int> m_items;
};

} // namespace pelmora
