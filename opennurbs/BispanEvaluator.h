// Point, first and second derivatives of a NURBS surface on one of its
// bispans, for the Newton refinement of closest points: a closed form for
// non-rational biquadratic surfaces in 3-D (the drape surfaces), the general
// basis evaluation otherwise.
#pragma once

#include "opennurbs.h"

#include "ClosestPointRefine.h"
#include "NurbsBasis.h"

namespace pelmora {

// Point, first and second derivatives on one fixed bispan (extrapolating its
// polynomials outside it).
class BispanEvaluator
{
public:
  // rational: the surface has a weight other than 1 (with unit weights the
  // homogeneous control points are the points themselves).
  BispanEvaluator(const ON_NurbsSurface &surface, bool rational, int span0, int span1)
      : m_surface(surface), m_rational(rational), m_span0(span0), m_span1(span1)
  {
  }

  bool operator()(double u, double v, SurfaceJet &jet) const
  {
    const ON_NurbsSurface &S = m_surface;
    if (S.m_order[0] == 3 && S.m_order[1] == 3 && S.m_dim == 3 && !m_rational &&
        QuadraticJet(u, v, jet))
      return true;
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
  // Values, first and second derivatives of the three quadratic basis
  // functions of span [t[1], t[2]] at u; false for a span of no length.
  static bool QuadraticDerivatives(const double *t, double u, double N[3][3])
  {
    const double h = t[2] - t[1], left = h * (t[2] - t[0]), right = h * (t[3] - t[1]);
    if (!(h > 0.0 && left > 0.0 && right > 0.0))
      return false;
    const double a = t[2] - u, b = u - t[1];
    N[0][0] = a * a / left;
    N[0][2] = b * b / right;
    N[0][1] = 1.0 - N[0][0] - N[0][2];
    N[1][0] = -2.0 * a / left;
    N[1][2] = 2.0 * b / right;
    N[1][1] = -N[1][0] - N[1][2];
    N[2][0] = 2.0 / left;
    N[2][2] = 2.0 / right;
    N[2][1] = -N[2][0] - N[2][2];
    return true;
  }

  // The jet of a non-rational biquadratic bispan in 3-D: the control rows
  // combined along u first, then along v.
  bool QuadraticJet(double u, double v, SurfaceJet &jet) const
  {
    const ON_NurbsSurface &S = m_surface;
    double Ns[3][3], Nt[3][3];
    if (!QuadraticDerivatives(S.m_knot[0] + m_span0, u, Ns) ||
        !QuadraticDerivatives(S.m_knot[1] + m_span1, v, Nt))
      return false;
    double R[3][3][3] = {}; // R[k][b]: k-th u derivative along control column b
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b) {
        const double *cv = S.m_cv + size_t(m_span0 + a) * S.m_cv_stride[0] +
                           size_t(m_span1 + b) * S.m_cv_stride[1];
        for (int k = 0; k < 3; ++k)
          for (int c = 0; c < 3; ++c)
            R[k][b][c] += Ns[k][a] * cv[c];
      }
    // (u derivative, v derivative) of d[0..5]: S, Su, Sv, Suu, Suv, Svv.
    static constexpr int kOrders[6][2] = {{0, 0}, {1, 0}, {0, 1}, {2, 0}, {1, 1}, {0, 2}};
    for (int m = 0; m < 6; ++m) {
      const double(*row)[3] = R[kOrders[m][0]];
      const double *w = Nt[kOrders[m][1]];
      for (int c = 0; c < 3; ++c)
        jet.d[m][c] = w[0] * row[0][c] + w[1] * row[1][c] + w[2] * row[2][c];
    }
    return true;
  }

  const ON_NurbsSurface &m_surface;
  bool m_rational;
  int m_span0, m_span1;
};

} // namespace pelmora
