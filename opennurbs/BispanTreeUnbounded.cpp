// Closest point on a rational bispan whose Bezier net has a non-positive
// weight, where the net does not bound the patch and the patch may fold
// tightly: best-first subdivision into pieces whose nets do bound them.
#include "BispanTree.h"

#include <algorithm>
#include <limits>

#include "NurbsBasis.h"

namespace pelmora {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr int kMaxDepth = 8;    // pieces down to 1/256 of the bispan per side
constexpr int kMaxPieces = 64;  // open pieces
constexpr int kMaxSplits = 256; // then the open pieces are solved as they are

// Restricts n Bezier points (cvsize doubles each, stride apart) over [0, 1]
// to [lo, hi] by de Casteljau subdivision.
void Restrict(double *pts, int n, int stride, int cvsize, double lo, double hi)
{
  if (hi < 1.0) { // keep [0, hi]
    for (int r = 1; r < n; ++r)
      for (int i = n - 1; i >= r; --i)
        for (int c = 0; c < cvsize; ++c)
          pts[i * stride + c] = (1.0 - hi) * pts[(i - 1) * stride + c] + hi * pts[i * stride + c];
  }
  const double at = hi > 0.0 ? lo / hi : 0.0;
  if (at > 0.0) { // keep [at, 1] of what is left
    for (int r = 1; r < n; ++r)
      for (int i = 0; i + r < n; ++i)
        for (int c = 0; c < cvsize; ++c)
          pts[i * stride + c] = (1.0 - at) * pts[i * stride + c] + at * pts[(i + 1) * stride + c];
  }
}

struct Piece
{
  double a0, a1, b0, b1; // within the bispan, as fractions of its spans
  double bound;          // squared distance no point of the piece is nearer than
  int depth;
  bool settled; // positive weights and nearly flat: solved without splitting
};

} // namespace

double BispanTree::SolveUnbounded(const ON_NurbsSurface &surface, const ON_3dPoint &P, int span0,
                                  int span1, const ParameterRect &local, double bound, double &s,
                                  double &t) const
{
  const int n0 = m_order[0], n1 = m_order[1], cvsize = surface.CVSize();
  const double *k0 = m_knot[0] + n0 - 2;
  const double *k1 = m_knot[1] + n1 - 2;
  const double u0 = k0[span0], du = k0[span0 + 1] - u0;
  const double v0 = k1[span1], dv = k1[span1 + 1] - v0;

  // Homogeneous Bezier net of the bispan, row-major.
  double M0[kMaxFastOrder * kMaxFastOrder], M1[kMaxFastOrder * kMaxFastOrder];
  double work[kMaxFastOrder * kMaxFastOrder];
  SpanBezierMatrix(n0, m_knot[0] + span0, M0, work);
  SpanBezierMatrix(n1, m_knot[1] + span1, M1, work);
  double net[kMaxFastOrder * kMaxFastOrder][4];
  HomogeneousNet(span0, span1, M0, M1, net);

  const double p[3] = {P.x - m_origin[0], P.y - m_origin[1], P.z - m_origin[2]};
  // Bound and flatness of a piece from its own net.
  auto measure = [&](Piece &piece) {
    double sub[kMaxFastOrder * kMaxFastOrder][4];
    std::copy(&net[0][0], &net[0][0] + 4 * n0 * n1, &sub[0][0]);
    for (int b = 0; b < n1; ++b)
      Restrict(sub[b], n0, 4 * n1, cvsize, piece.a0, piece.a1);
    for (int a = 0; a < n0; ++a)
      Restrict(sub[a * n1], n1, 4, cvsize, piece.b0, piece.b1);
    double points[kMaxFastOrder * kMaxFastOrder][3];
    bool positive = true;
    for (int k = 0; k < n0 * n1; ++k) {
      const double w = sub[k][m_dim];
      positive = positive && w > 0.0;
      for (int c = 0; c < 3; ++c)
        points[k][c] = (c < m_dim ? sub[k][c] / w : 0.0) - m_origin[c];
    }
    piece.bound = 0.0;
    piece.settled = false;
    if (positive) {
      Box box;
      BoundNet(points, n0, n1, box);
      piece.settled = ShapeOf(box) == kFlat;
      const double d = BoxDistance2(box, p);
      piece.bound = d == d ? d : 0.0;
    }
  };

  Piece heap[kMaxPieces];
  int open = 0;
  auto later = [](const Piece &x, const Piece &y) { return x.bound > y.bound; };
  auto push = [&](Piece piece) {
    measure(piece);
    heap[open++] = piece;
    std::push_heap(heap, heap + open, later);
  };
  push({(local.u0 - u0) / du, (local.u1 - u0) / du, (local.v0 - v0) / dv, (local.v1 - v0) / dv, 0.0,
        0, false});

  double best = bound, result = kInfinity;
  int splits = 0;
  while (open > 0) {
    std::pop_heap(heap, heap + open, later);
    const Piece piece = heap[--open];
    if (piece.bound >= best)
      break; // every open piece is at least as far
    if (!piece.settled && piece.depth < kMaxDepth && splits < kMaxSplits &&
        open + 4 <= kMaxPieces) {
      ++splits;
      const double am = 0.5 * (piece.a0 + piece.a1), bm = 0.5 * (piece.b0 + piece.b1);
      push({piece.a0, am, piece.b0, bm, 0.0, piece.depth + 1, false});
      push({piece.a0, am, bm, piece.b1, 0.0, piece.depth + 1, false});
      push({am, piece.a1, piece.b0, bm, 0.0, piece.depth + 1, false});
      push({am, piece.a1, bm, piece.b1, 0.0, piece.depth + 1, false});
      continue;
    }
    const ParameterRect rect{
        std::max(local.u0, u0 + piece.a0 * du), std::min(local.u1, u0 + piece.a1 * du),
        std::max(local.v0, v0 + piece.b0 * dv), std::min(local.v1, v0 + piece.b1 * dv)};
    double u = 0.0, v = 0.0;
    const double f = SampleAndRefine(surface, P, span0, span1, rect, kInfinity, u, v);
    if (f < result) {
      result = f;
      best = std::min(best, f);
      s = u;
      t = v;
    }
  }
  return result;
}

} // namespace pelmora
