// Bounding hierarchy over the bispans (single polynomial patches) of a NURBS
// surface, and the global closest-point search on it.
//
// Each bispan is bounded by an oriented box of its Bezier control net (the
// convex hull property; rational bispans with a non-positive Bezier weight are
// unbounded), with axes along the patch and its normal, so its thickness
// shrinks with the square of its size. The hierarchy is an implicit quadtree
// over the grid of span indices: level 0 holds one box per bispan, level L one
// box per 2^L x 2^L block, each oriented along the mean frame of its children. A query dives to
// the nearest leaf, then walks it best first (the open box of least distance next, from a
// fixed-size heap; subtrees that do not fit are searched depth first), pruning boxes that cannot
// hold a point nearer than the best found. Curved bispans reached are sampled on a coarse grid, the
// nearest sample counting as a point found, and refined afterwards, nearest sample first, on a grid
// of 2*order+1 square samples: a bispan is skipped when no cell of its grid can hold a nearer point
// (each cell lies within a bound of the second derivatives of the bilinear patch of its corners),
// otherwise Newton steps start from the discrete local minima of its samples. Nearly flat bispans
// get one seed from the box. Bispans whose net does not bound them (a non-positive weight) are
// subdivided into pieces whose nets do, searched best first.
#pragma once

#include <cstddef>
#include <vector>

#include "ClosestPointRefine.h"

class ON_NurbsSurface;

namespace pelmora {

class BispanTree
{
public:
  // Oriented box: orthonormal axes e1, e2 = n x e1, n (floats, e2 stored
  // so that a distance test reads all three); lo/hi bound the projections
  // (x - m_origin) . axis of every point it holds.
  struct Box
  {
    // Left uninitialised: the build writes every box before it is read, and
    // the pages of a large tree are first touched by the threads that fill
    // them rather than cleared by one.
    Box() {}
    float e1[3], e2[3], n[3];
    float lo[3], hi[3];
  };
  // The three axes of a box in double: e1, e2, n.
  static void Axes(const Box &box, double axes[3][3])
  {
    for (int c = 0; c < 3; ++c) {
      axes[0][c] = box.e1[c];
      axes[1][c] = box.e2[c];
      axes[2][c] = box.n[c];
    }
  }
  // Whether a tree can be built for the surface's shape (dimension 1..3,
  // orders up to kMaxFastOrder); the surface must also be valid.
  static bool Supports(const ON_NurbsSurface &surface);

  // Builds the hierarchy of a valid, supported surface; for any other surface
  // (valid == false) only records its signature, so that repeated queries on
  // it fail at once. Throws std::bad_alloc.
  BispanTree(const ON_NurbsSurface &surface, bool valid);

  // Whether the surface was valid and supported when the tree was built.
  bool IsUsable() const { return m_usable; }

  // Whether the tree was built for this storage and shape (pointers, counts,
  // orders, strides, dimension, rational flag).
  bool Matches(const ON_NurbsSurface &surface) const;

  // Nearest surface point to P in rect. limit2 > 0 bounds the squared
  // distance. On success writes (s, t) and the squared distance.
  bool ClosestPoint(const ON_NurbsSurface &surface, const ON_3dPoint &P, const ParameterRect &rect,
                    double limit2, double &s, double &t, double &dist2) const;

private:
  // Boxes are stored level by level, the (up to) four children of a node
  // side by side, so that expanding a node reads one block.
  size_t BoxIndex(int level, int a, int b) const
  {
    if (level == m_levels - 1)
      return m_offset[level];
    const size_t parent = size_t(a >> 1) * ((m_dims1[level] + 1) / 2) + size_t(b >> 1);
    return m_offset[level] + 4 * parent + size_t((a & 1) << 1) + size_t(b & 1);
  }
  void PlanLevels();
  double BoxDistance2(const Box &box, const double *p) const;
  void BuildLeaves(const ON_NurbsSurface &surface);
  void BuildLevels(const ON_NurbsSurface &surface);
  // One row of leaves (span row i, m0 its Bezier matrix, M1 those of every
  // column) and one row of nodes of a level above.
  void BuildLeafRow(const ON_NurbsSurface &surface, int i, const double *m0, const double *M1);
  void BuildNodeRow(const ON_NurbsSurface &surface, int level, int a, int below0, int below1);
  // The knots that bound the spans along a direction: span i is
  // [k[i], k[i + 1]].
  const double *SpanKnots(int direction) const;
  // The part of rect inside bispan (span0, span1).
  ParameterRect LocalRect(int span0, int span1, const ParameterRect &rect) const;
  // How far a non-rational bispan may stray from the bilinear patches of
  // the cells of a g x g sample grid over local.
  double BendSlack(int span0, int span1, const ParameterRect &local, int g) const;
  // Squared distance of the nearest point found on one bispan within rect,
  // at (s, t); +infinity when none is found or, with bound finite, when no
  // point of the bispan can be nearer than sqrt(bound).
  double SolveBispan(const ON_NurbsSurface &surface, const ON_3dPoint &P, int span0, int span1,
                     const ParameterRect &rect, double bound, double &s, double &t) const;
  // The nearest point found from the discrete local minima of a grid of
  // (2 order + 1)^2 samples over local, a rectangle inside the bispan; with
  // bound finite, +infinity when the cells of the grid show that no point of
  // a non-rational bispan can be nearer than sqrt(bound).
  double SampleAndRefine(const ON_NurbsSurface &surface, const ON_3dPoint &P, int span0, int span1,
                         const ParameterRect &local, double bound, double &s, double &t) const;
  // For a bispan whose control net does not bound it (a non-positive Bezier
  // weight): best-first subdivision of its rational Bezier patch into pieces
  // with positive weights, bounded by their nets and subdivided until nearly
  // flat, each solved by SampleAndRefine.
  double SolveUnbounded(const ON_NurbsSurface &surface, const ON_3dPoint &P, int span0, int span1,
                        const ParameterRect &local, double bound, double &s, double &t) const;
  // A coarse grid of order x order samples on a curved bispan within rect:
  // the squared distance of its nearest sample, at (s, t), and in lower2 a
  // lower bound of the squared distance to the bispan (0 when rational);
  // +infinity for other bispans.
  double NearestSample(const ON_NurbsSurface &surface, const ON_3dPoint &P, int span0, int span1,
                       const ParameterRect &rect, double &s, double &t, double &lower2) const;
  // How a bispan's refinement is seeded, read off its box: no bound (a
  // non-positive weight), nearly flat (thinner than a tenth of its extent),
  // or curved.
  enum Shape
  {
    kCurved,
    kFlat,
    kUnbounded
  };
  static Shape ShapeOf(const Box &box);
  // Homogeneous Bezier net of bispan (span0, span1), row-major, order0 x
  // order1 points of four doubles (unused ones 0); m0/m1 are the Bezier
  // conversion matrices of its two spans.
  void HomogeneousNet(int span0, int span1, const double *m0, const double *m1,
                      double (*net)[4]) const;
  // Oriented box of a Bezier net of order0 x order1 points (row-major,
  // relative to m_origin), along its corner edges and their normal.
  static void BoundNet(const double (*points)[3], int order0, int order1, Box &box);
  // Upper bound of the length of the second derivative along dir (0: u,
  // 1: v) over a bispan of a non-rational surface.
  double BendBound(const ON_NurbsSurface &surface, int span0, int span1, int dir) const;

  double m_origin[3]; // centre of the control points' range

  // Signature of the surface the tree was built for.
  const double *m_cv;
  const double *m_knot[2];
  int m_dim, m_is_rat, m_order[2], m_cv_count[2], m_cv_stride[2];

  bool m_usable;
  bool m_rational; // rational with a weight other than 1
  int m_spans[2];  // span counts
  int m_levels;
  std::vector<size_t> m_offset;
  std::vector<int> m_dims0, m_dims1;
  std::vector<Box> m_boxes;
  // Per bispan of a non-rational surface: BendBound along u and along v.
  std::vector<float> m_bend;
};

} // namespace pelmora
