// Point, first derivative and normal evaluators shared by every surface.
#include "opennurbs.h"

#include <cmath>
#include <new>
#include <vector>

namespace {

// Partials closer than 0.01 degree to parallel give no regular normal.
double ParallelCosine()
{
  static const double cosine = std::cos(0.01 * ON_DEFAULT_ANGLE_TOLERANCE);
  return cosine;
}

// |cos angle| between a and b at or above cos_tol.
bool IsParallel(const ON_3dVector &a, const ON_3dVector &b, double cos_tol)
{
  const double ll = a.Length() * b.Length();
  if (!(ll > 0.0))
    return false;
  const double cos_angle = (a.x * b.x + a.y * b.y + a.z * b.z) / ll;
  return cos_angle >= cos_tol || cos_angle <= -cos_tol;
}

// Unit normal from scaled partials: unit(ds/|ds| x dt/|dt|).
bool RegularNormal(const ON_3dVector &ds, double Ls, const ON_3dVector &dt, double Lt,
                   ON_3dVector &normal)
{
  const ON_3dVector a = ds / Ls;
  const ON_3dVector b = dt / Lt;
  normal = ON_CrossProduct(a, b);
  return normal.Unitize();
}

} // namespace

bool ON_Surface::IsValid(ON_TextLog *) const
{
  const ON_Interval s = Domain(0);
  const ON_Interval t = Domain(1);
  return s.IsValid() && t.IsValid() && s.IsIncreasing() && t.IsIncreasing();
}

ON_3dPoint ON_Surface::PointAt(double s, double t) const
{
  ON_3dPoint point(0.0, 0.0, 0.0);
  EvPoint(s, t, point);
  return point;
}

ON_3dVector ON_Surface::NormalAt(double s, double t) const
{
  ON_3dVector normal(0.0, 0.0, 0.0);
  EvNormal(s, t, normal);
  return normal;
}

bool ON_Surface::EvPoint(double s, double t, ON_3dPoint &point, int quadrant, int *hint) const
{
  point = ON_3dPoint(0.0, 0.0, 0.0);
  const int dim = Dimension();
  if (dim < 1)
    return false;
  try {
    double local[3] = {0.0, 0.0, 0.0};
    std::vector<double> heap;
    double *v = local;
    if (dim > 3) {
      heap.assign(size_t(dim), 0.0);
      v = heap.data();
    }
    const bool ok = Evaluate(s, t, 0, dim, v, quadrant, hint);
    point = ON_3dPoint(v[0], dim > 1 ? v[1] : 0.0, dim > 2 ? v[2] : 0.0);
    return ok;
  } catch (const std::bad_alloc &) {
    return false;
  }
}

bool ON_Surface::Ev1Der(double s, double t, ON_3dPoint &point, ON_3dVector &ds, ON_3dVector &dt,
                        int quadrant, int *hint) const
{
  point = ON_3dPoint(0.0, 0.0, 0.0);
  ds = ON_3dVector(0.0, 0.0, 0.0);
  dt = ON_3dVector(0.0, 0.0, 0.0);
  const int dim = Dimension();
  if (dim < 1)
    return false;
  try {
    double local[9] = {0.0};
    std::vector<double> heap;
    double *v = local;
    if (dim > 3) {
      heap.assign(size_t(3 * dim), 0.0);
      v = heap.data();
    }
    const bool ok = Evaluate(s, t, 1, dim, v, quadrant, hint);
    for (int c = 0; c < dim && c < 3; ++c) {
      point[c] = v[c];
      ds[c] = v[dim + c];
      dt[c] = v[2 * dim + c];
    }
    return ok;
  } catch (const std::bad_alloc &) {
    return false;
  }
}

bool ON_Surface::EvNormal(double s, double t, ON_3dVector &normal, int quadrant, int *hint) const
{
  ON_3dPoint point;
  ON_3dVector ds, dt;
  return EvNormal(s, t, point, ds, dt, normal, quadrant, hint);
}

bool ON_Surface::EvNormal(double s, double t, ON_3dPoint &point, ON_3dVector &normal, int quadrant,
                          int *hint) const
{
  ON_3dVector ds, dt;
  return EvNormal(s, t, point, ds, dt, normal, quadrant, hint);
}

bool ON_Surface::EvNormal(double s, double t, ON_3dPoint &point, ON_3dVector &ds, ON_3dVector &dt,
                          ON_3dVector &normal, int quadrant, int *hint) const
{
  // 1. First partials.
  bool ok = Ev1Der(s, t, point, ds, dt, quadrant, hint);
  if (ok) {
    const double Ls = ds.Length();
    const double Lt = dt.Length();
    if (Ls > ON_SQRT_EPSILON * Lt && Lt > ON_SQRT_EPSILON * Ls &&
        !IsParallel(ds, dt, ParallelCosine())) {
      // 2. Regular point.
      ok = RegularNormal(ds, Ls, dt, Lt, normal);
    } else {
      // 3. Degenerate partials: on the boundary use the limit from inside.
      int side = quadrant;
      bool on_boundary = false;
      const ON_Interval sdom = Domain(0);
      const ON_Interval tdom = Domain(1);
      if (s == sdom.Min()) {
        side = (side >= 3) ? 4 : 1;
        on_boundary = true;
      } else if (s == sdom.Max()) {
        side = (side >= 3) ? 3 : 2;
        on_boundary = true;
      }
      if (t == tdom.Min()) {
        side = (side == 2 || side == 3) ? 2 : 1;
        on_boundary = true;
      } else if (t == tdom.Max()) {
        side = (side == 2 || side == 3) ? 3 : 4;
        on_boundary = true;
      }
      if (!on_boundary) {
        ok =
            (Ls > ON_EPSILON * Lt && Lt > ON_EPSILON * Ls) && RegularNormal(ds, Ls, dt, Lt, normal);
      } else {
        double v[18] = {0.0};
        ok = Evaluate(s, t, 2, 3, v, side, hint);
        if (ok) {
          const ON_3dVector Ds(v + 3), Dt(v + 6), Dss(v + 9), Dst(v + 12), Dtt(v + 15);
          ok = ON_EvNormal(side, Ds, Dt, Dss, Dst, Dtt, normal);
        }
      }
    }
  }
  if (!ok)
    normal = ON_3dVector(0.0, 0.0, 0.0);
  return ok;
}

bool ON_Surface::GetLocalClosestPoint(const ON_3dPoint &, double, double, double *, double *,
                                      const ON_Interval *, const ON_Interval *) const
{
  return false;
}
