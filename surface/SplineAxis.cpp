#include "surface/SplineAxis.h"

#include <cassert>
#include <cmath>

namespace pelmora {

namespace {

// The three non-zero quadratic basis functions at u in knot span `span` of
// the full knot vector (Cox-de Boor, Piegl & Tiller's BasisFuns).
void CoxDeBoor(const std::vector<double> &knots, int span, double u, double n[3])
{
  double left[3], right[3];
  n[0] = 1.0;
  for (int j = 1; j <= 2; ++j) {
    left[j] = u - knots[span + 1 - j];
    right[j] = knots[span + j] - u;
    double saved = 0.0;
    for (int r = 0; r < j; ++r) {
      const double temp = n[r] / (right[r + 1] + left[j - r]);
      n[r] = saved + right[r + 1] * temp;
      saved = left[j - r] * temp;
    }
    n[j] = saved;
  }
}

} // namespace

SplineAxis::SplineAxis(int count, double lo, double hi)
    : m_count(count), m_lo(lo), m_hi(hi), m_step((hi - lo) / (count - 2))
{
  assert(count >= 3 && lo < hi);
  const int spans = Spans();
  std::vector<double> knots(count + 3);
  for (int k = 0; k < count + 3; ++k)
    knots[k] = std::min(std::max(k - 2, 0), spans);
  // Each basis function is one quadratic per span: read it off its values
  // at the span's start, middle and end.
  m_polynomials.resize(static_cast<size_t>(spans) * 9);
  for (int s = 0; s < spans; ++s) {
    double at0[3], atHalf[3], at1[3];
    CoxDeBoor(knots, s + 2, s, at0);
    CoxDeBoor(knots, s + 2, s + 0.5, atHalf);
    CoxDeBoor(knots, s + 2, s + 1.0, at1);
    for (int j = 0; j < 3; ++j) {
      const double c = 2.0 * (at1[j] - 2.0 * atHalf[j] + at0[j]);
      double *p = &m_polynomials[s * 9 + j * 3];
      p[0] = at0[j];
      p[1] = at1[j] - at0[j] - c;
      p[2] = c;
    }
  }
}

double SplineAxis::Greville(int i) const
{
  // Knots i + 1 and i + 2 of the full vector, averaged.
  const int spans = Spans();
  const double a = std::min(std::max(i - 1, 0), spans);
  const double b = std::min(std::max(i, 0), spans);
  return m_lo + 0.5 * (a + b) * m_step;
}

int SplineAxis::SpanOf(double x, double &t) const
{
  double u = (x - m_lo) / m_step;
  const int spans = Spans();
  if (!(u > 0.0))
    u = 0.0;
  if (u > spans)
    u = spans;
  int span = static_cast<int>(u);
  if (span >= spans)
    span = spans - 1;
  t = u - span;
  return span;
}

void SplineAxis::Basis(double x, AxisBasis &basis) const
{
  double t = 0.0;
  const int span = SpanOf(x, t);
  basis.first = span;
  const double *p = &m_polynomials[span * 9];
  const double inverse = 1.0 / m_step;
  for (int j = 0; j < 3; ++j, p += 3) {
    basis.value[j] = p[0] + t * (p[1] + t * p[2]);
    basis.slope[j] = (p[1] + 2.0 * t * p[2]) * inverse;
    basis.bend[j] = 2.0 * p[2] * inverse * inverse;
  }
}

int SplineAxis::Values(double x, double value[3]) const
{
  double t = 0.0;
  const int span = SpanOf(x, t);
  const double *p = &m_polynomials[span * 9];
  for (int j = 0; j < 3; ++j, p += 3)
    value[j] = p[0] + t * (p[1] + t * p[2]);
  return span;
}

AxisIntegrals SplineAxis::Integrals() const
{
  AxisIntegrals sums;
  sums.value.assign(static_cast<size_t>(m_count) * 3, 0.0);
  sums.slope = sums.value;
  sums.bend = sums.value;
  // Three-point Gauss-Legendre per span: exact for the quartic products.
  const double node[3] = {0.5 - 0.5 * std::sqrt(0.6), 0.5, 0.5 + 0.5 * std::sqrt(0.6)};
  const double weight[3] = {5.0 / 18.0, 8.0 / 18.0, 5.0 / 18.0};
  for (int s = 0; s < Spans(); ++s)
    for (int g = 0; g < 3; ++g) {
      AxisBasis b;
      Basis(m_lo + (s + node[g]) * m_step, b);
      const double w = weight[g] * m_step;
      for (int i = 0; i < 3; ++i)
        for (int j = i; j < 3; ++j) {
          const size_t at = static_cast<size_t>(b.first + i) * 3 + (j - i);
          sums.value[at] += w * b.value[i] * b.value[j];
          sums.slope[at] += w * b.slope[i] * b.slope[j];
          sums.bend[at] += w * b.bend[i] * b.bend[j];
        }
    }
  return sums;
}

} // namespace pelmora
