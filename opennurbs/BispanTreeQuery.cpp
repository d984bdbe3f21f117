// Closest-point query on the bispan hierarchy: best-first branch and bound
// with Newton refinement on candidate bispans.
#include "BispanTree.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

#include "BispanEvaluator.h"
#include "BispanSampling.h"
#include "NurbsBasis.h"

namespace pelmora {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Seeds refined per sampled bispan, curved bispans sampled before any is
// refined, and nodes of the depth-first stack (four children a level).
constexpr int kMaxSeeds = 6;
constexpr int kMaxCandidates = 256;
constexpr int kMaxDescentNodes = 4 * 64;
// Levels of a hierarchy over at most 2^31 spans a direction.
constexpr int kMaxLevels = 33;

} // namespace

const double *BispanTree::SpanKnots(int direction) const
{
  return m_knot[direction] + m_order[direction] - 2;
}

ParameterRect BispanTree::LocalRect(int span0, int span1, const ParameterRect &rect) const
{
  const double *k0 = SpanKnots(0), *k1 = SpanKnots(1);
  return {std::max(k0[span0], rect.u0), std::min(k0[span0 + 1], rect.u1),
          std::max(k1[span1], rect.v0), std::min(k1[span1 + 1], rect.v1)};
}

double BispanTree::BendSlack(int span0, int span1, const ParameterRect &local, int g) const
{
  // Over a cell of size hu x hv the patch is within (hu^2 |Suu| + hv^2 |Svv|)
  // / 8 of the bilinear patch of its corners (m_bend holds the bounds of
  // |Suu| and |Svv|), widened a little against rounding.
  const double hu = (local.u1 - local.u0) / (g - 1), hv = (local.v1 - local.v0) / (g - 1);
  const size_t at = 2 * (size_t(span0) * m_spans[1] + span1);
  return (hu * hu * m_bend[at] + hv * hv * m_bend[at + 1]) * (0.125 * (1.0 + 1e-9));
}

double BispanTree::BoxDistance2(const Box &box, const double *p) const
{
  // p is relative to m_origin. The float axes are orthonormal to about 1e-7,
  // so the sum of squared gaps may exceed the distance by that much relative:
  // shrink it to stay a lower bound.
  const float *axes[3] = {box.e1, box.e2, box.n};
  double sum = 0.0;
  for (int a = 0; a < 3; ++a) {
    const double q =
        double(axes[a][0]) * p[0] + double(axes[a][1]) * p[1] + double(axes[a][2]) * p[2];
    const double below = double(box.lo[a]) - q;
    const double above = q - double(box.hi[a]);
    const double gap = below > 0.0 ? below : (above > 0.0 ? above : 0.0);
    sum += gap * gap;
  }
  return sum * (1.0 - 1e-5);
}

double BispanTree::SolveBispan(const ON_NurbsSurface &surface, const ON_3dPoint &P, int span0,
                               int span1, const ParameterRect &rect, double bound, double &s,
                               double &t) const
{
  const double *k0 = SpanKnots(0), *k1 = SpanKnots(1);
  const ParameterRect local = LocalRect(span0, span1, rect);
  const BispanEvaluator eval(surface, m_rational, span0, span1);
  const double scale_u = k0[span0 + 1] - k0[span0];
  const double scale_v = k1[span1 + 1] - k1[span1];
  const Box &box = m_boxes[BoxIndex(0, span0, span1)];
  const Shape shape = ShapeOf(box);
  if (shape == kFlat) {
    // One seed: where P projects into the box's extent along the patch.
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
  if (shape == kUnbounded)
    return SolveUnbounded(surface, P, span0, span1, local, bound, s, t);
  return SampleAndRefine(surface, P, span0, span1, local, bound, s, t);
}

double BispanTree::SampleAndRefine(const ON_NurbsSurface &surface, const ON_3dPoint &P, int span0,
                                   int span1, const ParameterRect &local, double bound, double &s,
                                   double &t) const
{
  // Every discrete local minimum of a grid of samples.
  const double *k0 = SpanKnots(0), *k1 = SpanKnots(1);
  const BispanEvaluator eval(surface, m_rational, span0, span1);
  const double scale_u = k0[span0 + 1] - k0[span0];
  const double scale_v = k1[span1 + 1] - k1[span1];
  const double p[3] = {P.x, P.y, P.z};
  const int g = 2 * std::max(m_order[0], m_order[1]) + 1;
  double dist2[kMaxSamples * kMaxSamples];
  double points[kMaxSamples * kMaxSamples][3];
  SampleBispan(surface, m_rational, span0, span1, local, g, p, dist2, points);
  // Over each grid cell the patch is within (hu^2 |Suu| + hv^2 |Svv|) / 8 of
  // the bilinear patch of the cell's corners, which lies in their box: when
  // no cell can hold a point nearer than sqrt(bound), neither can the bispan.
  if (!m_rational && bound < kInfinity) {
    double nearest2 = dist2[0];
    for (int k = 1; k < g * g; ++k)
      nearest2 = std::min(nearest2, dist2[k]);
    const double bend = BendSlack(span0, span1, local, g);
    const double magnitude = std::fabs(P.x) + std::fabs(P.y) + std::fabs(P.z) + std::sqrt(nearest2);
    const double reach = std::sqrt(bound) + bend + 1e-12 * magnitude;
    const double reach2 = reach * reach;
    bool open = false;
    for (int i = 0; i + 1 < g && !open; ++i)
      for (int j = 0; j + 1 < g && !open; ++j) {
        open = !(CellGap2(points, g, i, j, p) >= reach2); // NaN keeps the cell
      }
    if (!open)
      return kInfinity;
  }
  int seeds[kMaxSeeds];
  const int seed_count = LocalMinimumSamples(dist2, g, seeds, kMaxSeeds);
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

double BispanTree::NearestSample(const ON_NurbsSurface &surface, const ON_3dPoint &P, int span0,
                                 int span1, const ParameterRect &rect, double &s, double &t,
                                 double &lower2) const
{
  if (ShapeOf(m_boxes[BoxIndex(0, span0, span1)]) != kCurved)
    return kInfinity;
  const ParameterRect local = LocalRect(span0, span1, rect);
  const double p[3] = {P.x, P.y, P.z};
  const int g = std::max(m_order[0], m_order[1]);
  double dist2[kMaxSamples * kMaxSamples];
  double points[kMaxSamples * kMaxSamples][3];
  SampleBispan(surface, m_rational, span0, span1, local, g, p, dist2, points);
  int nearest = 0;
  for (int k = 1; k < g * g; ++k)
    if (dist2[k] < dist2[nearest])
      nearest = k;
  s = local.u0 + (local.u1 - local.u0) * (nearest / g) / (g - 1);
  t = local.v0 + (local.v1 - local.v0) * (nearest % g) / (g - 1);
  // Lower bound: as in SolveBispan, every cell of the grid lies within the
  // bending bound of the box of its corners.
  lower2 = 0.0;
  if (!m_rational) {
    const double bend = BendSlack(span0, span1, local, g);
    const double magnitude =
        std::fabs(P.x) + std::fabs(P.y) + std::fabs(P.z) + std::sqrt(dist2[nearest]);
    double gap2 = kInfinity;
    for (int i = 0; i + 1 < g; ++i)
      for (int j = 0; j + 1 < g; ++j)
        gap2 = std::min(gap2, CellGap2(points, g, i, j, p));
    const double lower = std::sqrt(gap2) - bend - 1e-12 * magnitude;
    lower2 = lower > 0.0 ? lower * lower : 0.0; // NaN gives 0
  }
  return dist2[nearest];
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
  const double *k0 = SpanKnots(0), *k1 = SpanKnots(1);
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
  auto consider = [&](double f, double u, double v) {
    if (f < kInfinity && !pruned(f)) {
      found = true;
      best = f;
      s = u;
      t = v;
    }
  };
  struct Candidate
  {
    int a, b;
    double bound, sample;
  };
  Candidate candidates[kMaxCandidates];
  int candidate_count = 0;

  auto leaf = [&](const Node &node) {
    // Curved bispans are sampled now and refined later, nearest sample
    // first, so that the best refined point comes early and prunes the
    // others; the rest (and curved ones beyond the list) are solved now.
    double u = 0.0, v = 0.0, lower2 = 0.0;
    double f = candidate_count < kMaxCandidates
                   ? NearestSample(surface, P, node.a, node.b, rect, u, v, lower2)
                   : kInfinity;
    if (f < kInfinity)
      candidates[candidate_count++] = {node.a, node.b, std::max(node.bound, lower2), f};
    else
      f = SolveBispan(surface, P, node.a, node.b, rect, found ? best : kInfinity, u, v);
    consider(f, u, v);
  };
  // The unpruned children of a node, nearest last (stable).
  auto expand = [&](const Node &node, Node *children) {
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
    for (int k = 1; k < count; ++k)
      for (int m = k; m > 0 && children[m - 1].bound < children[m].bound; --m)
        std::swap(children[m - 1], children[m]);
    return count;
  };
  // Depth-first search of one subtree, nearest child first.
  auto descend = [&](const Node &start) {
    Node stack[kMaxDescentNodes];
    int top = 0;
    stack[top++] = start;
    while (top > 0) {
      const Node node = stack[--top];
      if (pruned(node.bound))
        continue;
      if (node.level == 0) {
        leaf(node);
        continue;
      }
      assert(top + 4 <= kMaxDescentNodes); // at most four children a level
      top += expand(node, stack + top);
    }
  };
  // Best first: always expand the open node of least bound (deeper first on
  // ties), so that few nodes are opened whose bound exceeds the final
  // distance. Subtrees that do not fit in the fixed heap are searched depth
  // first at once.
  constexpr int kMaxOpen = 1024;
  Node heap[kMaxOpen];
  int open = 0;
  auto later = [](const Node &x, const Node &y) {
    return x.bound > y.bound || (x.bound == y.bound && x.level > y.level);
  };
  // It starts with a dive: the nearest child at every level leads to a leaf
  // whose distance usually prunes every sibling passed on the way, so only
  // the few still open enter the heap instead of all of them.
  Node passed[3 * kMaxLevels];
  int passed_count = 0;
  const int root = m_levels - 1;
  if (overlaps(root, 0, 0)) {
    Node node = {root, 0, 0, BoxDistance2(m_boxes[BoxIndex(root, 0, 0)], p)};
    bool reached = !pruned(node.bound);
    while (reached && node.level > 0) {
      Node children[4];
      const int count = expand(node, children);
      for (int k = 0; k + 1 < count; ++k)
        passed[passed_count++] = children[k];
      reached = count > 0;
      if (reached)
        node = children[count - 1];
    }
    if (reached)
      leaf(node);
  }
  for (int k = passed_count - 1; k >= 0; --k)
    if (!pruned(passed[k].bound)) {
      heap[open++] = passed[k];
      std::push_heap(heap, heap + open, later);
    }
  while (open > 0) {
    std::pop_heap(heap, heap + open, later);
    const Node node = heap[--open];
    if (pruned(node.bound))
      break; // every open node is at least as far
    if (node.level == 0) {
      leaf(node);
      continue;
    }
    Node children[4];
    const int count = expand(node, children);
    for (int k = count - 1; k >= 0; --k) {
      if (open < kMaxOpen) {
        heap[open++] = children[k];
        std::push_heap(heap, heap + open, later);
      } else {
        descend(children[k]);
      }
    }
  }
  for (int k = 1; k < candidate_count; ++k)
    for (int m = k; m > 0 && candidates[m - 1].sample > candidates[m].sample; --m)
      std::swap(candidates[m - 1], candidates[m]);
  for (int k = 0; k < candidate_count; ++k) {
    if (pruned(candidates[k].bound))
      continue;
    double u = 0.0, v = 0.0;
    const double f = SolveBispan(surface, P, candidates[k].a, candidates[k].b, rect,
                                 found ? best : kInfinity, u, v);
    consider(f, u, v);
  }
  if (found)
    dist2 = best;
  return found;
}

} // namespace pelmora
