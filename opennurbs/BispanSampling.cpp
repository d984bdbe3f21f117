// Sampling of one bispan on a regular parameter grid: the points and their
// squared distances to a query point. Biquadratic non-rational bispans in
// 3-D take a direct path; every other bispan the tensor-product one.
#include "BispanSampling.h"

#include <cassert>
#include <limits>

#include "NurbsBasis.h"

namespace pelmora {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Values of the three quadratic basis functions of a span of positive length
// (knots t[0..3], the span [t[1], t[2]]) at g points spread evenly over
// [u0, u1], three values a point; false for any other order or span.
bool QuadraticBasis(int order, const double *t, double u0, double u1, int g, double *N)
{
  if (order != 3 || !(t[2] > t[1]))
    return false;
  const double span = 1.0 / (t[2] - t[1]), left = 1.0 / (t[2] - t[0]), right = 1.0 / (t[3] - t[1]);
  for (int i = 0; i < g; ++i, N += 3) {
    const double u = u0 + (u1 - u0) * i / (g - 1);
    const double a = (t[2] - u) * span, b = (u - t[1]) * span;
    const double l = (t[2] - u) * left, r = (u - t[1]) * right;
    N[0] = l * a;
    N[1] = (1.0 - l) * a + (1.0 - r) * b;
    N[2] = r * b;
  }
  return true;
}

// SampleBispan on a non-rational biquadratic bispan in 3-D, from the basis
// values at the grid lines.
void SampleQuadratic(const ON_NurbsSurface &S, int span0, int span1, const double *Ns,
                     const double *Nt, int g, const double *p, double *dist2, double (*points)[3])
{
  double cv[3][3][3];
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b) {
      const double *x =
          S.m_cv + size_t(span0 + a) * S.m_cv_stride[0] + size_t(span1 + b) * S.m_cv_stride[1];
      for (int c = 0; c < 3; ++c)
        cv[a][b][c] = x[c];
    }
  for (int i = 0; i < g; ++i) {
    const double *N = Ns + 3 * i;
    double row[3][3];
    for (int b = 0; b < 3; ++b)
      for (int c = 0; c < 3; ++c)
        row[b][c] = N[0] * cv[0][b][c] + N[1] * cv[1][b][c] + N[2] * cv[2][b][c];
    for (int j = 0; j < g; ++j) {
      const double *M = Nt + 3 * j;
      double *x = points[i * g + j];
      double sum = 0.0;
      for (int c = 0; c < 3; ++c) {
        x[c] = M[0] * row[0][c] + M[1] * row[1][c] + M[2] * row[2][c];
        sum += (x[c] - p[c]) * (x[c] - p[c]);
      }
      dist2[i * g + j] = sum == sum ? sum : kInfinity;
    }
  }
}

} // namespace

void SampleBispan(const ON_NurbsSurface &S, bool rational, int span0, int span1,
                  const ParameterRect &rect, int g, const double *p, double *dist2,
                  double (*points)[3])
{
  const int order0 = S.m_order[0], order1 = S.m_order[1], dim = S.m_dim;
  const int cvsize = S.CVSize();
  assert(g >= 2 && g <= kMaxSamples);
  assert(order0 <= kMaxFastOrder && order1 <= kMaxFastOrder && cvsize <= 4);
  double Ns[kMaxSamples * kMaxFastOrder], Nt[kMaxSamples * kMaxFastOrder];
  double work[kMaxFastOrder * kMaxFastOrder + 4 * kMaxFastOrder];
  if (!QuadraticBasis(order0, S.m_knot[0] + span0, rect.u0, rect.u1, g, Ns))
    for (int i = 0; i < g; ++i) {
      const double u = rect.u0 + (rect.u1 - rect.u0) * i / (g - 1);
      EvaluateBasis(order0, S.m_knot[0] + span0, u, 0, Ns + i * order0, work);
    }
  if (!QuadraticBasis(order1, S.m_knot[1] + span1, rect.v0, rect.v1, g, Nt))
    for (int i = 0; i < g; ++i) {
      const double v = rect.v0 + (rect.v1 - rect.v0) * i / (g - 1);
      EvaluateBasis(order1, S.m_knot[1] + span1, v, 0, Nt + i * order1, work);
    }
  if (order0 == 3 && order1 == 3 && !rational && dim == 3) {
    SampleQuadratic(S, span0, span1, Ns, Nt, g, p, dist2, points);
    return;
  }
  // Tensor product: first the order1 columns of control points combined
  // along u for each sample row, then each sample from its row.
  double rows[kMaxSamples][kMaxFastOrder][4];
  for (int i = 0; i < g; ++i) {
    const double *N = Ns + i * order0;
    for (int b = 0; b < order1; ++b) {
      double h[4] = {0.0, 0.0, 0.0, 0.0};
      for (int a = 0; a < order0; ++a) {
        const double *cv =
            S.m_cv + size_t(span0 + a) * S.m_cv_stride[0] + size_t(span1 + b) * S.m_cv_stride[1];
        for (int c = 0; c < cvsize; ++c)
          h[c] += N[a] * cv[c];
      }
      for (int c = 0; c < 4; ++c)
        rows[i][b][c] = h[c];
    }
  }
  for (int i = 0; i < g; ++i) {
    for (int j = 0; j < g; ++j) {
      const double *N = Nt + j * order1;
      double h[4] = {0.0, 0.0, 0.0, 0.0};
      for (int b = 0; b < order1; ++b)
        for (int c = 0; c < cvsize; ++c)
          h[c] += N[b] * rows[i][b][c];
      const double w = rational ? h[dim] : 1.0;
      double sum = 0.0;
      for (int c = 0; c < 3; ++c) {
        const double x = c < dim ? h[c] / w : 0.0;
        points[i * g + j][c] = x;
        sum += (x - p[c]) * (x - p[c]);
      }
      dist2[i * g + j] = (w != 0.0 && sum == sum) ? sum : kInfinity;
    }
  }
}

} // namespace pelmora
