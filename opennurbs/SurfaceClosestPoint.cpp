// General closest-point search of ON_Surface: a grid of samples over the
// search rectangle, refined from every sample that is a discrete local
// minimum.
#include "opennurbs.h"

#include "ClosestPointRefine.h"

using pelmora::ParameterRect;
using pelmora::SurfaceJet;

bool ON_Surface::GetClosestPoint(const ON_3dPoint &P, double *s, double *t, double maximum_distance,
                                 const ON_Interval *sdomain, const ON_Interval *tdomain) const
{
  const int dim = Dimension();
  if (!s || !t || !P.IsValid() || dim < 1 || dim > 3 || !IsValid())
    return false;
  ParameterRect rect;
  if (!pelmora::SearchRectangle(*this, sdomain, tdomain, rect))
    return false;

  auto eval = [this, dim](double u, double v, SurfaceJet &jet) {
    double values[18] = {0.0};
    if (!Evaluate(u, v, 2, 3, values))
      return false;
    for (int k = 0; k < 6; ++k)
      for (int c = 0; c < 3; ++c)
        jet.d[k][c] = c < dim ? values[3 * k + c] : 0.0;
    return true;
  };

  constexpr int g = 17;
  double dist2[g * g];
  for (int i = 0; i < g; ++i) {
    for (int j = 0; j < g; ++j) {
      const ON_3dPoint S = PointAt(rect.u0 + (rect.u1 - rect.u0) * i / (g - 1),
                                   rect.v0 + (rect.v1 - rect.v0) * j / (g - 1));
      const ON_3dVector d = S - P;
      dist2[i * g + j] = d * d;
    }
  }
  int seeds[8];
  const int seed_count = pelmora::LocalMinimumSamples(dist2, g, seeds, 8);
  const double scale_u = (rect.u1 - rect.u0 > 0.0 ? rect.u1 - rect.u0 : 1.0);
  const double scale_v = (rect.v1 - rect.v0 > 0.0 ? rect.v1 - rect.v0 : 1.0);
  bool found = false;
  double best = 0.0, best_u = 0.0, best_v = 0.0;
  for (int k = 0; k < seed_count; ++k) {
    double u = rect.u0 + (rect.u1 - rect.u0) * (seeds[k] / g) / (g - 1);
    double v = rect.v0 + (rect.v1 - rect.v0) * (seeds[k] % g) / (g - 1);
    const double f = pelmora::RefineClosestPoint(eval, P, rect, scale_u, scale_v, u, v);
    if (f < std::numeric_limits<double>::infinity() && (!found || f < best)) {
      found = true;
      best = f;
      best_u = u;
      best_v = v;
    }
  }
  if (!found || (maximum_distance > 0.0 && std::sqrt(best) > maximum_distance))
    return false;
  *s = best_u;
  *t = best_v;
  return true;
}
