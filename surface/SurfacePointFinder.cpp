#include "surface/SurfacePointFinder.h"
#include "PMSurface.h"
#include "opennurbs/BispanEvaluator.h"
#include "opennurbs/ClosestPointRefine.h"
#include "opennurbs/NurbsBasis.h"
#include "surface/Greville.h"

#include <cmath>

namespace pelmora {
namespace {

std::vector<double> grevilleOf(const ON_NurbsSurface &surface, int dir)
{
  std::vector<double> values(static_cast<size_t>(surface.CVCount(dir)));
  for (int i = 0; i < surface.CVCount(dir); ++i)
    values[i] = GrevilleAbscissa(surface, dir, i);
  return values;
}

bool hasWeightOtherThanOne(const ON_NurbsSurface &surface)
{
  if (!surface.IsRational())
    return false;
  for (int i = 0; i < surface.CVCount(0); ++i)
    for (int j = 0; j < surface.CVCount(1); ++j)
      if (surface.Weight(i, j) != 1.0)
        return true;
  return false;
}

ON_3dPointArray alignedControlPoints(const ON_NurbsSurface &surface, const ON_3dVector &direction)
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

} // namespace

SurfacePointFinder::SurfacePointFinder(const ON_NurbsSurface &surface, const ON_3dVector &direction)
    : m_surface(surface),
      m_rational(hasWeightOtherThanOne(surface)), m_greville{grevilleOf(surface, 0),
                                                             grevilleOf(surface, 1)},
      m_alignedControlPoints(alignedControlPoints(surface, direction)),
      m_seeds(m_alignedControlPoints)
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
  // Far from the surface, or no seed: the exact search, bounded by what the
  // Newton steps found.
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

} // namespace pelmora
