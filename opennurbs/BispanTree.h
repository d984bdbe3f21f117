// Bounding hierarchy over the bispans (single polynomial patches) of a NURBS
// surface, and the global closest-point search on it.
//
// Each bispan is bounded by the box of its Bezier control net (the convex
// hull property; rational bispans with a non-positive Bezier weight get an
// unbounded box). The hierarchy is an implicit quadtree over the grid of span
// indices: level 0 holds one box per bispan, level L one box per 2^L x 2^L
// block. A query walks it depth first, nearest child first, pruning boxes
// that cannot hold a point nearer than the best found, and refines candidate
// bispans with Newton steps from the discrete local minima of a grid of
// samples (3 x 3 on nearly flat bispans, 2*order+1 square on curved ones).
#pragma once

#include <cstddef>
#include <vector>

#include "ClosestPointRefine.h"

class ON_NurbsSurface;

namespace pelmora {

class BispanTree
{
public:
  // Whether a tree can be built for the surface's shape (dimension 1..3,
  // orders up to kMaxFastOrder); the surface must also be valid.
  static bool Supports(const ON_NurbsSurface &surface);

  // Builds the hierarchy of a valid, supported surface. Throws std::bad_alloc.
  explicit BispanTree(const ON_NurbsSurface &surface);

  // Whether the tree was built for this storage and shape (pointers, counts,
  // orders, strides, dimension, rational flag).
  bool Matches(const ON_NurbsSurface &surface) const;

  // Nearest surface point to P in rect. limit2 > 0 bounds the squared
  // distance. On success writes (s, t) and the squared distance.
  bool ClosestPoint(const ON_NurbsSurface &surface, const ON_3dPoint &P, const ParameterRect &rect,
                    double limit2, double &s, double &t, double &dist2) const;

private:
  struct Box
  {
    float lo[3], hi[3];
  };
  size_t BoxIndex(int level, int a, int b) const
  {
    return m_offset[level] + size_t(a) * m_dims1[level] + b;
  }
  double BoxDistance2(const Box &box, const double *p) const;
  void BuildLeaves(const ON_NurbsSurface &surface);
  void BuildLevels();
  double SolveBispan(const ON_NurbsSurface &surface, const ON_3dPoint &P, int span0, int span1,
                     const ParameterRect &rect, double &s, double &t) const;

  // Signature of the surface the tree was built for.
  const double *m_cv;
  const double *m_knot[2];
  int m_dim, m_is_rat, m_order[2], m_cv_count[2], m_cv_stride[2];

  bool m_rational; // rational with a weight other than 1
  int m_spans[2];  // span counts
  int m_levels;
  std::vector<size_t> m_offset;
  std::vector<int> m_dims0, m_dims1;
  std::vector<Box> m_boxes;
  std::vector<unsigned char> m_flat; // per bispan
};

} // namespace pelmora
