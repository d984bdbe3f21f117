// Closest-point query on the bispan hierarchy: depth-first branch and bound,
// nearest child first, with Newton refinement on candidate bispans.
#include "BispanTree.h"

#include <algorithm>
#include <limits>

#include "NurbsBasis.h"

namespace pelmora {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr int kMaxSamples = 2 * kMaxFastOrder + 1;

// Point, first and second derivatives on one fixed bispan (extrapolating its
// polynomials outside it).
class BispanEvaluator
{
public:
  BispanEvaluator(const ON_NurbsSurface &surface, bool rational, int span0, int span1)
      : m_surface(surface), m_rational(rational), m_span0(span0), m_span1(span1)
  {
  }

  bool operator()(double u, double v, SurfaceJet &jet) const
  {
    const ON_NurbsSurface &S = m_surface;
    const int order0 = S.m_order[0], order1 = S.m_order[1], dim = S.m_dim;
    const int cvsize = S.CVSize();
    double Ns[3 * kMaxFastOrder], Nt[3 * kMaxFastOrder];
    double work[kMaxFastOrder * kMaxFastOrder + 4 * kMaxFastOrder];
    EvaluateBasis(order0, S.m_knot[0] + m_span0, u, 2, Ns, work);
    EvaluateBasis(order1, S.m_knot[1] + m_span1, v, 2, Nt, work);
    double H[6 * 4] = {0.0};
    for (int a = 0; a < order0; ++a) {
      const double *row = S.m_cv + size_t(m_span0 + a) * S.m_cv_stride[0];
      for (int b = 0; b < order1; ++b) {
        const double *cv = row + size_t(m_span1 + b) * S.m_cv_stride[1];
        const double n[6] = {Ns[a] * Nt[b],
                             Ns[order0 + a] * Nt[b],
                             Ns[a] * Nt[order1 + b],
                             Ns[2 * order0 + a] * Nt[b],
                             Ns[order0 + a] * Nt[order1 + b],
                             Ns[a] * Nt[2 * order1 + b]};
        for (int k = 0; k < 6; ++k)
          for (int c = 0; c < cvsize; ++c)
            H[k * cvsize + c] += n[k] * cv[c];
      }
    }
    for (int k = 0; k < 6; ++k)
      for (int c = 0; c < 3; ++c)
        jet.d[k][c] = c < dim ? H[k * cvsize + c] : 0.0;
    if (!m_rational)
      return true;
    // Quotient rule up to second order.
    const double *w = H + dim;
    if (w[0] == 0.0)
      return false;
    const double r = 1.0 / w[0];
    double(*d)[3] = jet.d;
    for (int c = 0; c < 3; ++c) {
      d[0][c] *= r;
      d[1][c] = (d[1][c] - w[cvsize] * d[0][c]) * r;
      d[2][c] = (d[2][c] - w[2 * cvsize] * d[0][c]) * r;
      d[3][c] = (d[3][c] - 2.0 * w[cvsize] * d[1][c] - w[3 * cvsize] * d[0][c]) * r;
      d[4][c] =
          (d[4][c] - w[cvsize] * d[2][c] - w[2 * cvsize] * d[1][c] - w[4 * cvsize] * d[0][c]) * r;
      d[5][c] = (d[5][c] - 2.0 * w[2 * cvsize] * d[2][c] - w[5 * cvsize] * d[0][c]) * r;
    }
    return true;
  }

private:
  const ON_NurbsSurface &m_surface;
  bool m_rational;
  int m_span0, m_span1;
};

// Squared distances from p to a g x g grid of points over rect on one bispan.
void SampleBispan(const ON_NurbsSurface &S, bool rational, int span0, int span1,
                  const ParameterRect &rect, int g, const double *p, double *dist2)
{
  const int order0 = S.m_order[0], order1 = S.m_order[1], dim = S.m_dim;
  const int cvsize = S.CVSize();
  double Ns[kMaxSamples * kMaxFastOrder], Nt[kMaxSamples * kMaxFastOrder];
  double work[kMaxFastOrder * kMaxFastOrder + 4 * kMaxFastOrder];
  for (int i = 0; i < g; ++i) {
    EvaluateBasis(order0, S.m_knot[0] + span0, rect.u0 + (rect.u1 - rect.u0) * i / (g - 1), 0,
                  Ns + i * order0, work);
    EvaluateBasis(order1, S.m_knot[1] + span1, rect.v0 + (rect.v1 - rect.v0) * i / (g - 1), 0,
                  Nt + i * order1, work);
  }
  for (int i = 0; i < g; ++i) {
    for (int j = 0; j < g; ++j) {
      double h[4] = {0.0, 0.0, 0.0, 0.0};
      for (int a = 0; a < order0; ++a) {
        const double *row = S.m_cv + size_t(span0 + a) * S.m_cv_stride[0];
        for (int b = 0; b < order1; ++b) {
          const double *cv = row + size_t(span1 + b) * S.m_cv_stride[1];
          const double n = Ns[i * order0 + a] * Nt[j * order1 + b];
          for (int c = 0; c < cvsize; ++c)
            h[c] += n * cv[c];
        }
      }
      const double w = rational ? h[dim] : 1.0;
      double sum = 0.0;
      for (int c = 0; c < 3; ++c) {
        const double x = c < dim ? h[c] / w : 0.0;
        sum += (x - p[c]) * (x - p[c]);
      }
      dist2[i * g + j] = (w != 0.0 && sum == sum) ? sum : kInfinity;
    }
  }
}

} // namespace

double BispanTree::BoxDistance2(const Box &box, const double *p) const
{
  // p is relative to m_origin. The float axes are orthonormal to about 1e-7,
  // so the sum of squared gaps may exceed the distance by that much relative:
  // shrink it to stay a lower bound.
  double axes[3][3];
  Axes(box, axes);
  double sum = 0.0;
  for (int a = 0; a < 3; ++a) {
    const double q = axes[a][0] * p[0] + axes[a][1] * p[1] + axes[a][2] * p[2];
    const double below = double(box.lo[a]) - q;
    const double above = q - double(box.hi[a]);
    const double gap = below > 0.0 ? below : (above > 0.0 ? above : 0.0);
    sum += gap * gap;
  }
  return sum * (1.0 - 1e-5);
}

double BispanTree::SolveBispan(const ON_NurbsSurface &surface, const ON_3dPoint &P, int span0,
                               int span1, const ParameterRect &rect, double &s, double &t) const
{
  const double *k0 = m_knot[0] + m_order[0] - 2;
  const double *k1 = m_knot[1] + m_order[1] - 2;
  const ParameterRect local{std::max(k0[span0], rect.u0), std::min(k0[span0 + 1], rect.u1),
                            std::max(k1[span1], rect.v0), std::min(k1[span1 + 1], rect.v1)};
  const size_t leaf = size_t(span0) * m_spans[1] + span1;
  const BispanEvaluator eval(surface, m_rational, span0, span1);
  const double scale_u = k0[span0 + 1] - k0[span0];
  const double scale_v = k1[span1 + 1] - k1[span1];
  if (m_shape[leaf] == kFlat) {
    // One seed: where P projects into the box's extent along the patch.
    const Box &box = m_boxes[BoxIndex(0, span0, span1)];
    double axes[3][3];
    Axes(box, axes);
    const double d[3] = {P.x - m_origin[0], P.y - m_origin[1], P.z - m_origin[2]};
    double fraction[2];
    for (int a = 0; a < 2; ++a) {
      const double q = axes[a][0] * d[0] + axes[a][1] * d[1] + axes[a][2] * d[2];
      const double f = (q - box.lo[a]) / (double(box.hi[a]) - box.lo[a]);
      fraction[a] = f > 0.0 ? (f < 1.0 ? f : 1.0) : (f <= 0.0 ? 0.0 : 0.5);
    }
    s = std::min(std::max(k0[span0] + fraction[0] * scale_u, local.u0), local.u1);
    t = std::min(std::max(k1[span1] + fraction[1] * scale_v, local.v0), local.v1);
    return RefineClosestPoint(eval, P, local, scale_u, scale_v, s, t);
  }
  // Curved or unbounded: every discrete local minimum of a grid of samples.
  const double p[3] = {P.x, P.y, P.z};
  const int g = m_shape[leaf] == kCurved ? 2 * std::max(m_order[0], m_order[1]) + 1 : kMaxSamples;
  double dist2[kMaxSamples * kMaxSamples];
  SampleBispan(surface, m_rational, span0, span1, local, g, p, dist2);
  int seeds[6];
  const int seed_count = LocalMinimumSamples(dist2, g, seeds, 6);
  double best = kInfinity;
  for (int k = 0; k < seed_count; ++k) {
    double u = local.u0 + (local.u1 - local.u0) * (seeds[k] / g) / (g - 1);
    double v = local.v0 + (local.v1 - local.v0) * (seeds[k] % g) / (g - 1);
    const double f = RefineClosestPoint(eval, P, local, scale_u, scale_v, u, v);
    if (f < best) {
      best = f;
      s = u;
      t = v;
    }
  }
  return best;
}

bool BispanTree::ClosestPoint(const ON_NurbsSurface &surface, const ON_3dPoint &P,
                              const ParameterRect &rect, double limit2, double &s, double &t,
                              double &dist2) const
{
  struct Node
  {
    int level, a, b;
    double bound;
  };
  const double p[3] = {P.x - m_origin[0], P.y - m_origin[1], P.z - m_origin[2]};
  const double *k0 = m_knot[0] + m_order[0] - 2;
  const double *k1 = m_knot[1] + m_order[1] - 2;
  const bool whole = rect.u0 <= k0[0] && rect.u1 >= k0[m_spans[0]] && rect.v0 <= k1[0] &&
                     rect.v1 >= k1[m_spans[1]];
  auto overlaps = [&](int level, int a, int b) {
    if (whole)
      return true;
    const long long lo0 = (long long)a << level, lo1 = (long long)b << level;
    const long long hi0 = std::min<long long>((long long)(a + 1) << level, m_spans[0]);
    const long long hi1 = std::min<long long>((long long)(b + 1) << level, m_spans[1]);
    return k0[lo0] <= rect.u1 && k0[hi0] >= rect.u0 && k1[lo1] <= rect.v1 && k1[hi1] >= rect.v0;
  };
  bool found = false;
  double best = limit2 > 0.0 ? limit2 : kInfinity;
  auto pruned = [&](double bound) { return found ? bound >= best : bound > best; };

  Node stack[4 * 64];
  int top = 0;
  const int root = m_levels - 1;
  if (overlaps(root, 0, 0))
    stack[top++] = {root, 0, 0, BoxDistance2(m_boxes[BoxIndex(root, 0, 0)], p)};
  while (top > 0) {
    const Node node = stack[--top];
    if (pruned(node.bound))
      continue;
    if (node.level == 0) {
      double u = 0.0, v = 0.0;
      const double f = SolveBispan(surface, P, node.a, node.b, rect, u, v);
      if (f < kInfinity && !pruned(f)) {
        found = true;
        best = f;
        s = u;
        t = v;
      }
      continue;
    }
    // Children, pushed farthest first so the nearest is searched next.
    Node children[4];
    int count = 0;
    const int level = node.level - 1;
    for (int a = 2 * node.a; a < 2 * node.a + 2 && a < m_dims0[level]; ++a)
      for (int b = 2 * node.b; b < 2 * node.b + 2 && b < m_dims1[level]; ++b) {
        if (!overlaps(level, a, b))
          continue;
        const double bound = BoxDistance2(m_boxes[BoxIndex(level, a, b)], p);
        if (!pruned(bound))
          children[count++] = {level, a, b, bound};
      }
    for (int k = 1; k < count; ++k) // farthest first, stable
      for (int m = k; m > 0 && children[m - 1].bound < children[m].bound; --m)
        std::swap(children[m - 1], children[m]);
    for (int k = 0; k < count; ++k)
      stack[top++] = children[k];
  }
  if (found)
    dist2 = best;
  return found;
}

} // namespace pelmora
