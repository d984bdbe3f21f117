#include "NurbsBasis.h"

#include <algorithm>

namespace pelmora {

int FindSpan(int order, int cv_count, const double *knot, double u, bool from_below)
{
  const int span_count = cv_count - order + 1;
  const double *start = knot + order - 2; // start[i] begins span i
  int span = int(std::upper_bound(start, start + span_count, u) - start) - 1;
  span = std::max(0, std::min(span, span_count - 1));
  if (from_below) {
    while (span > 0 && start[span] == u)
      --span;
  }
  return span;
}

namespace {

// The basis recurrences; kOrder > 0 fixes the order at compile time so the
// loops of the common low orders unroll.
template <int kOrder>
void Basis(int runtime_order, const double *span_knots, double u, int der_count, double *N,
           double *work)
{
  const int order = kOrder > 0 ? kOrder : runtime_order;
  const int p = order - 1;
  const double *k = span_knots;
  double *ndu = work;                 // order x order
  double *left = ndu + order * order; // order
  double *right = left + order;       // order
  double *a = right + order;          // 2 x order
  // Triangle of basis values (lower part: knot differences).
  ndu[0] = 1.0;
  for (int j = 1; j <= p; ++j) {
    left[j] = u - k[p - j];
    right[j] = k[p - 1 + j] - u;
    double saved = 0.0;
    for (int r = 0; r < j; ++r) {
      ndu[j * order + r] = right[r + 1] + left[j - r];
      const double temp = ndu[r * order + j - 1] / ndu[j * order + r];
      ndu[r * order + j] = saved + right[r + 1] * temp;
      saved = left[j - r] * temp;
    }
    ndu[j * order + j] = saved;
  }
  for (int j = 0; j <= p; ++j)
    N[j] = ndu[j * order + p];
  const int n = std::min(der_count, p);
  for (int d = p + 1; d <= der_count; ++d)
    std::fill(N + d * order, N + (d + 1) * order, 0.0);
  // Derivatives by the recurrence on the coefficients a.
  for (int r = 0; r <= p; ++r) {
    double *a1 = a;
    double *a2 = a + order;
    a1[0] = 1.0;
    for (int kk = 1; kk <= n; ++kk) {
      double d = 0.0;
      const int rk = r - kk;
      const int pk = p - kk;
      if (r >= kk) {
        a2[0] = a1[0] / ndu[(pk + 1) * order + rk];
        d = a2[0] * ndu[rk * order + pk];
      }
      const int j1 = (rk >= -1) ? 1 : -rk;
      const int j2 = (r - 1 <= pk) ? kk - 1 : p - r;
      for (int j = j1; j <= j2; ++j) {
        a2[j] = (a1[j] - a1[j - 1]) / ndu[(pk + 1) * order + rk + j];
        d += a2[j] * ndu[(rk + j) * order + pk];
      }
      if (r <= pk) {
        a2[kk] = -a1[kk - 1] / ndu[(pk + 1) * order + r];
        d += a2[kk] * ndu[r * order + pk];
      }
      N[kk * order + r] = d;
      std::swap(a1, a2);
    }
  }
  double factor = p;
  for (int kk = 1; kk <= n; ++kk) {
    for (int j = 0; j <= p; ++j)
      N[kk * order + j] *= factor;
    factor *= (p - kk);
  }
}

} // namespace

void EvaluateBasis(int order, const double *span_knots, double u, int der_count, double *N,
                   double *work)
{
  if (order == 3)
    Basis<3>(order, span_knots, u, der_count, N, work);
  else if (order == 4)
    Basis<4>(order, span_knots, u, der_count, N, work);
  else
    Basis<0>(order, span_knots, u, der_count, N, work);
}

void SpanBezierMatrix(int order, const double *span_knots, double *M, double *work)
{
  // Bernstein coefficient j of a span [a, b] is the blossom at
  // (a, ..., a, b, ..., b) with j copies of b; evaluated for all basis
  // functions at once by de Boor steps with per-level arguments.
  const int p = order - 1;
  const double *k = span_knots;
  const double a = k[p - 1];
  const double b = k[p];
  double *c = work; // c[i*order + f]: point i of the scheme, basis function f
  for (int j = 0; j <= p; ++j) {
    for (int i = 0; i <= p; ++i)
      for (int f = 0; f <= p; ++f)
        c[i * order + f] = (i == f) ? 1.0 : 0.0;
    for (int r = 1; r <= p; ++r) {
      const double u = (r <= p - j) ? a : b;
      for (int i = p; i >= r; --i) {
        const double alpha = (u - k[i - 1]) / (k[i + p - r] - k[i - 1]);
        for (int f = 0; f <= p; ++f)
          c[i * order + f] = (1.0 - alpha) * c[(i - 1) * order + f] + alpha * c[i * order + f];
      }
    }
    for (int f = 0; f <= p; ++f)
      M[j * order + f] = c[p * order + f];
  }
}

double Binomial(int n, int k)
{
  double result = 1.0;
  for (int i = 1; i <= k; ++i)
    result = result * (n - k + i) / i;
  return result;
}

bool HomogeneousToEuclidean(int dim, int der_count, const double *homogeneous, int v_stride,
                            double *v)
{
  const int cvsize = dim + 1;
  const double w0 = homogeneous[dim];
  if (w0 == 0.0)
    return false;
  auto block = [](int ds, int dt) { return (ds + dt) * (ds + dt + 1) / 2 + dt; };
  for (int n = 0; n <= der_count; ++n) {
    for (int dt = 0; dt <= n; ++dt) {
      const int ds = n - dt;
      const int out = block(ds, dt);
      for (int c = 0; c < dim; ++c) {
        double value = homogeneous[out * cvsize + c];
        for (int i = 0; i <= ds; ++i) {
          for (int j = 0; j <= dt; ++j) {
            if (i == 0 && j == 0)
              continue;
            const double w = homogeneous[block(i, j) * cvsize + dim];
            value -=
                Binomial(ds, i) * Binomial(dt, j) * w * v[block(ds - i, dt - j) * v_stride + c];
          }
        }
        v[out * v_stride + c] = value / w0;
      }
    }
  }
  return true;
}

} // namespace pelmora
