// Pieces of the closest-point search shared by the general surface search and
// the span hierarchy: the search rectangle, seeds from a grid of samples and
// the safeguarded Newton refinement.
#pragma once

#include <cmath>
#include <limits>

#include "opennurbs.h"

namespace pelmora {

// Closed parameter rectangle [u0, u1] x [v0, v1].
struct ParameterRect
{
  double u0, u1, v0, v1;
};

// Domain of the surface intersected with the optional restrictions. False
// when an interval is not valid or the intersection is empty.
bool SearchRectangle(const ON_Surface &surface, const ON_Interval *sdomain,
                     const ON_Interval *tdomain, ParameterRect &rect);

// Surface point and derivatives for the refinement: d[0] = S, d[1] = Su,
// d[2] = Sv, d[3] = Suu, d[4] = Suv, d[5] = Svv.
struct SurfaceJet
{
  double d[6][3];
};

// Indices (row-major in a g x g grid) of the samples no farther than any of
// their 8 neighbours (interior samples: than their interior neighbours),
// nearest first (first index on ties), at most max_seeds.
// Returns the number written to seeds.
int LocalMinimumSamples(const double *dist2, int g, int *seeds, int max_seeds);

// Minimises |S(u,v) - P|^2 over rect from (u, v) by Newton steps on the
// gradient ((S-P).Su, (S-P).Sv), with the variables held at a rectangle side
// while the gradient pushes outward, a Gauss-Newton or gradient step where
// the Hessian is not positive definite, clamping and step halving until the
// distance does not increase. Stops after a full Newton step below 1e-6 of
// scale_u / scale_v (what remains is of the order of its square), a step
// below 1e-12 of them, when nothing decreases, or after a fixed number of
// iterations. eval(u, v, jet) returns
// false on failure. Result: the squared distance at the final (u, v), or
// +infinity when the seed cannot be evaluated.
template <class Evaluator>
double RefineClosestPoint(const Evaluator &eval, const ON_3dPoint &P, const ParameterRect &rect,
                          double scale_u, double scale_v, double &u, double &v)
{
  const double tol_u = 1e-12 * scale_u, tol_v = 1e-12 * scale_v;
  const double p[3] = {P.x, P.y, P.z};
  auto dist2 = [&p](const SurfaceJet &jet) {
    double sum = 0.0;
    for (int c = 0; c < 3; ++c)
      sum += (jet.d[0][c] - p[c]) * (jet.d[0][c] - p[c]);
    return sum;
  };
  auto dot = [](const double *a, const double *b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  };
  auto clamp = [](double x, double lo, double hi) { return x > lo ? (x < hi ? x : hi) : lo; };

  SurfaceJet jet;
  if (!eval(u, v, jet))
    return std::numeric_limits<double>::infinity();
  double f = dist2(jet);
  for (int iteration = 0; iteration < 64 && f > 0.0; ++iteration) {
    double E[3];
    for (int c = 0; c < 3; ++c)
      E[c] = jet.d[0][c] - p[c];
    const double gu = dot(E, jet.d[1]);
    const double gv = dot(E, jet.d[2]);
    const double Guu = dot(jet.d[1], jet.d[1]);
    const double Guv = dot(jet.d[1], jet.d[2]);
    const double Gvv = dot(jet.d[2], jet.d[2]);
    const double Huu = Guu + dot(E, jet.d[3]);
    const double Huv = Guv + dot(E, jet.d[4]);
    const double Hvv = Gvv + dot(E, jet.d[5]);
    // Variables pinned at a side while the descent direction leaves the rectangle.
    const bool free_u = !((u <= rect.u0 && gu > 0.0) || (u >= rect.u1 && gu < 0.0));
    const bool free_v = !((v <= rect.v0 && gv > 0.0) || (v >= rect.v1 && gv < 0.0));
    double du = 0.0, dv = 0.0;
    bool newton = false; // a full Newton step on a positive definite Hessian
    if (free_u && free_v) {
      const double det = Huu * Hvv - Huv * Huv;
      const double gdet = Guu * Gvv - Guv * Guv;
      if (Huu > 0.0 && det > 1e-12 * Huu * Hvv) {
        du = -(Hvv * gu - Huv * gv) / det;
        dv = -(Huu * gv - Huv * gu) / det;
        newton = true;
      } else if (Guu > 0.0 && gdet > 1e-12 * Guu * Gvv) {
        du = -(Gvv * gu - Guv * gv) / gdet;
        dv = -(Guu * gv - Guv * gu) / gdet;
      } else if (Guu + Gvv > 0.0) {
        du = -gu / (Guu + Gvv);
        dv = -gv / (Guu + Gvv);
      }
    } else if (free_u) {
      newton = Huu > 0.0;
      du = Huu > 0.0 ? -gu / Huu : (Guu > 0.0 ? -gu / Guu : 0.0);
    } else if (free_v) {
      newton = Hvv > 0.0;
      dv = Hvv > 0.0 ? -gv / Hvv : (Gvv > 0.0 ? -gv / Gvv : 0.0);
    }
    if (!(std::isfinite(du) && std::isfinite(dv)) || (du == 0.0 && dv == 0.0))
      break;
    // A Newton step this small leaves an error of its square: take it (if it
    // does not increase the distance) and stop.
    const bool last = newton && std::fabs(du) <= 1e-6 * scale_u && std::fabs(dv) <= 1e-6 * scale_v;
    // Clamp and halve until the distance decreases.
    bool accepted = false;
    double nu = u, nv = v;
    SurfaceJet next;
    for (double scale = 1.0; scale > 1e-6; scale *= 0.5) {
      nu = clamp(u + scale * du, rect.u0, rect.u1);
      nv = clamp(v + scale * dv, rect.v0, rect.v1);
      if (nu == u && nv == v)
        break;
      if (eval(nu, nv, next) && dist2(next) <= f) {
        accepted = true;
        break;
      }
      if (last)
        break;
    }
    if (!accepted)
      break;
    const bool small = std::fabs(nu - u) <= tol_u && std::fabs(nv - v) <= tol_v;
    u = nu;
    v = nv;
    jet = next;
    const double previous = f;
    f = dist2(jet);
    if (last || small || f == previous)
      break;
  }
  return f;
}

} // namespace pelmora
