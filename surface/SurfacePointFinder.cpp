#include "surface/SurfacePointFinder.h"
#include "PMSurface.h"
#include "opennurbs/BispanEvaluator.h"
#include "opennurbs/ClosestPointRefine.h"
#include "opennurbs/NurbsBasis.h"
#include "opennurbs/SurfaceWeights.h"
#include "surface/Greville.h"

#include <algorithm>
#include <cmath>

namespace pelmora {
namespace {

std::vector<double> GrevilleOf(const ON_NurbsSurface &surface, int dir)
{
  std::vector<double> values(static_cast<size_t>(surface.CVCount(dir)));
  for (int i = 0; i < surface.CVCount(dir); ++i)
    values[i] = GrevilleAbscissa(surface, dir, i);
  return values;
}

ON_3dPointArray AlignedControlPoints(const ON_NurbsSurface &surface, const ON_3dVector &direction)
{
  ON_3dPointArray points(surface.CVCount());
  for (int i = 0; i < surface.CVCount(0); ++i)
    for (int j = 0; j < surface.CVCount(1); ++j) {
      ON_3dPoint p(NAN, NAN, NAN);
      surface.GetCV(i, j, p);
      points.Append(p);
    }
  PMSurface::TransformPoints(points, direction, 1, 0);
  return points;
}

// The largest x-y diagonal of the control points of a bispan.
double BispanReach(const ON_NurbsSurface &surface, const ON_3dPointArray &aligned)
{
  const int order0 = surface.Order(0), order1 = surface.Order(1), count1 = surface.CVCount(1);
  double reach = 0.0;
  for (int a = 0; a + order0 <= surface.CVCount(0); ++a)
    for (int b = 0; b + order1 <= count1; ++b) {
      double lo[2] = {INFINITY, INFINITY}, hi[2] = {-INFINITY, -INFINITY};
      for (int i = a; i < a + order0; ++i)
        for (int j = b; j < b + order1; ++j) {
          const ON_3dPoint &p = aligned[i * count1 + j];
          lo[0] = std::fmin(lo[0], p.x);
          hi[0] = std::fmax(hi[0], p.x);
          lo[1] = std::fmin(lo[1], p.y);
          hi[1] = std::fmax(hi[1], p.y);
        }
      reach = std::fmax(reach, std::hypot(hi[0] - lo[0], hi[1] - lo[1]));
    }
  return reach;
}

// Bispans searched around one point at most; beyond, the whole surface is.
constexpr int kMostNearControlPoints = 400;

} // namespace

SurfacePointFinder::SurfacePointFinder(const ON_NurbsSurface &surface, const ON_3dVector &direction)
    : m_surface(surface),
      m_rational(HasWeightOtherThanOne(surface)), m_greville{GrevilleOf(surface, 0),
                                                             GrevilleOf(surface, 1)},
      m_alignedControlPoints(AlignedControlPoints(surface, direction)),
      m_seeds(m_alignedControlPoints), m_reach(BispanReach(surface, m_alignedControlPoints))
{
}

std::vector<int> SurfacePointFinder::VisitingOrder(const ON_3dPointArray &aligned) const
{
  // Counting sort by bucket.
  const int n = aligned.Count();
  std::vector<int> bucket(static_cast<size_t>(n));
  std::vector<int> start(static_cast<size_t>(m_seeds.BucketCount()) + 1, 0);
  for (int i = 0; i < n; ++i) {
    bucket[i] = m_seeds.BucketOf(aligned[i].x, aligned[i].y);
    ++start[bucket[i] + 1];
  }
  for (size_t b = 1; b < start.size(); ++b)
    start[b] += start[b - 1];
  std::vector<int> order(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    order[start[bucket[i]]++] = i;
  return order;
}

bool SurfacePointFinder::Refine(const ON_3dPoint &point, double &s, double &t,
                                double &distance2) const
{
  const ON_NurbsSurface &S = m_surface;
  // Newton steps mostly stay on one bispan: look there first.
  int span[2] = {-1, -1};
  auto locate = [&](int dir, double x) {
    const double *start = S.m_knot[dir] + S.m_order[dir] - 2; // start[i] begins span i
    const int last = S.m_cv_count[dir] - S.m_order[dir];
    int &k = span[dir];
    if (k < 0 || !(start[k] <= x && (x < start[k + 1] || k == last)))
      k = FindSpan(S.m_order[dir], S.m_cv_count[dir], S.m_knot[dir], x, false);
    return k;
  };
  auto evaluate = [&](double u, double v, SurfaceJet &jet) {
    return BispanEvaluator(S, m_rational, locate(0, u), locate(1, v))(u, v, jet);
  };
  const ON_Interval d0 = S.Domain(0), d1 = S.Domain(1);
  const ParameterRect rect{d0.Min(), d0.Max(), d1.Min(), d1.Max()};
  distance2 = RefineClosestPoint(evaluate, point, rect, d0.Length(), d1.Length(), s, t);
  return std::isfinite(distance2);
}

bool SurfacePointFinder::Find(const ON_3dPoint &point, const ON_3dPoint &aligned, double &s,
                              double &t, double &distance) const
{
  const int seed = m_seeds.Nearest(aligned.x, aligned.y);
  double distance2 = INFINITY;
  if (seed >= 0) {
    const int count1 = m_surface.CVCount(1);
    s = m_greville[0][seed / count1];
    t = m_greville[1][seed % count1];
    if (!Refine(point, s, t, distance2))
      distance2 = INFINITY;
  }
  distance = std::sqrt(distance2);
  if (distance <= 0.5 * m_seeds.Spacing())
    return true;
  if (std::isfinite(distance) && SearchAround(point, aligned, s, t, distance))
    return true;
  // Far from the surface, or no seed: the exact search over the whole
  // surface, bounded by what the Newton steps found.
  double gs = s, gt = t;
  const double limit = std::isfinite(distance) ? distance * (1.0 + 1e-9) + 1e-300 : 0.0;
  if (m_surface.GetClosestPoint(point, &gs, &gt, limit)) {
    s = gs;
    t = gt;
    distance = m_surface.PointAt(s, t).DistanceTo(point);
    return true;
  }
  return std::isfinite(distance);
}

double SurfacePointFinder::SolveBispan(const ON_3dPoint &point, int a, int b, double &s,
                                       double &t) const
{
  const ON_NurbsSurface &S = m_surface;
  const double *u = S.m_knot[0] + a + S.m_order[0] - 2, *v = S.m_knot[1] + b + S.m_order[1] - 2;
  const ParameterRect rect{u[0], u[1], v[0], v[1]};
  if (!(rect.u1 > rect.u0 && rect.v1 > rect.v0))
    return INFINITY;
  const BispanEvaluator evaluate(S, m_rational, a, b);
  // Newton steps from the discrete local minima of g x g samples.
  constexpr int g = 5, kSeeds = 3;
  double dist2[g * g];
  SurfaceJet jet;
  for (int i = 0; i < g; ++i)
    for (int j = 0; j < g; ++j) {
      const double su = rect.u0 + (rect.u1 - rect.u0) * i / (g - 1);
      const double sv = rect.v0 + (rect.v1 - rect.v0) * j / (g - 1);
      double sum = INFINITY;
      if (evaluate(su, sv, jet)) {
        sum = 0.0;
        for (int c = 0; c < 3; ++c)
          sum += (jet.d[0][c] - point[c]) * (jet.d[0][c] - point[c]);
      }
      dist2[i * g + j] = sum;
    }
  int seeds[kSeeds];
  const int count = LocalMinimumSamples(dist2, g, seeds, kSeeds);
  double best = INFINITY;
  for (int k = 0; k < count; ++k) {
    double u = rect.u0 + (rect.u1 - rect.u0) * (seeds[k] / g) / (g - 1);
    double v = rect.v0 + (rect.v1 - rect.v0) * (seeds[k] % g) / (g - 1);
    const double f =
        RefineClosestPoint(evaluate, point, rect, rect.u1 - rect.u0, rect.v1 - rect.v0, u, v);
    if (f < best) {
      best = f;
      s = u;
      t = v;
    }
  }
  return best;
}

bool SurfacePointFinder::SearchAround(const ON_3dPoint &point, const ON_3dPoint &aligned, double &s,
                                      double &t, double &distance) const
{
  std::vector<int> nearControlPoints;
  if (!m_seeds.Within(aligned.x, aligned.y, distance + m_reach, kMostNearControlPoints,
                      nearControlPoints))
    return false;
  // The bispans of those control points.
  const ON_NurbsSurface &S = m_surface;
  const int count1 = S.CVCount(1), spans0 = S.CVCount(0) - S.Order(0) + 1,
            spans1 = count1 - S.Order(1) + 1;
  std::vector<int> bispans;
  for (const int k : nearControlPoints) {
    const int i = k / count1, j = k % count1;
    for (int a = std::max(0, i - S.Order(0) + 1); a <= std::min(i, spans0 - 1); ++a)
      for (int b = std::max(0, j - S.Order(1) + 1); b <= std::min(j, spans1 - 1); ++b)
        bispans.push_back(a * spans1 + b);
  }
  std::sort(bispans.begin(), bispans.end());
  bispans.erase(std::unique(bispans.begin(), bispans.end()), bispans.end());
  double best2 = distance * distance;
  for (const int bispan : bispans) {
    const int a = bispan / spans1, b = bispan % spans1;
    // The box of its control points bounds the bispan.
    ON_3dPoint lo(INFINITY, INFINITY, INFINITY), hi(-INFINITY, -INFINITY, -INFINITY);
    for (int i = a; i < a + S.Order(0); ++i)
      for (int j = b; j < b + S.Order(1); ++j) {
        ON_3dPoint p;
        S.GetCV(i, j, p);
        for (int c = 0; c < 3; ++c) {
          lo[c] = std::fmin(lo[c], p[c]);
          hi[c] = std::fmax(hi[c], p[c]);
        }
      }
    double gap2 = 0.0;
    for (int c = 0; c < 3; ++c) {
      const double gap = std::fmax(lo[c] - point[c], std::fmax(point[c] - hi[c], 0.0));
      gap2 += gap * gap;
    }
    if (gap2 >= best2)
      continue;
    double bs = 0.0, bt = 0.0;
    const double d2 = SolveBispan(point, a, b, bs, bt);
    if (d2 < best2) {
      best2 = d2;
      s = bs;
      t = bt;
    }
  }
  distance = std::sqrt(best2);
  return true;
}

} // namespace pelmora
