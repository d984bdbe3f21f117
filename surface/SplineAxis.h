// One axis of a uniform, clamped, quadratic B-spline: `count` control values
// over [lo, hi] in count - 2 equal spans (knots 0, 0, 0, 1, ..., m, m, m in
// units of the span, the knot layout of ON_NurbsSurface's clamped uniform
// knot vector). The accurate fit lays its surfaces on two such axes.
#pragma once

#include <vector>

namespace pelmora {

// The three basis functions that are non-zero at one position, with their
// first and second derivatives along the axis: control values first,
// first + 1 and first + 2.
struct AxisBasis
{
  int first = 0;
  double value[3] = {0, 0, 0};
  double slope[3] = {0, 0, 0};
  double bend[3] = {0, 0, 0};
};

// Integrals over the axis of products of two basis functions (band of width
// 3: entry i * 3 + d couples control i with control i + d).
struct AxisIntegrals
{
  std::vector<double> value; // integral of N_i N_j
  std::vector<double> slope; // integral of N_i' N_j'
  std::vector<double> bend;  // integral of N_i'' N_j''
};

class SplineAxis
{
public:
  SplineAxis() = default;
  // count >= 3 and lo < hi (asserted).
  SplineAxis(int count, double lo, double hi);

  int Count() const { return m_count; }
  int Spans() const { return m_count - 2; }
  double Lo() const { return m_lo; }
  double Hi() const { return m_hi; }
  double Step() const { return m_step; }

  // The Greville abscissa of control i: placing control i there makes the
  // spline reproduce the axis coordinate itself (x(u) is linear).
  double Greville(int i) const;

  // The basis at x (clamped into [lo, hi]).
  void Basis(double x, AxisBasis &basis) const;
  // Values only: the cheap form for the assembly of the normal equations.
  int Values(double x, double value[3]) const;

  AxisIntegrals Integrals() const;

private:
  int SpanOf(double x, double &t) const;

  int m_count = 0;
  double m_lo = 0.0, m_hi = 0.0, m_step = 1.0;
  // Per span, per basis function: a + b t + c t^2 in the span's local t.
  std::vector<double> m_polynomials;
};

} // namespace pelmora
