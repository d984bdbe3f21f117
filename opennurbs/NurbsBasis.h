// B-spline basis functions of one span, span search and the conversion of a
// span to Bezier form. Knots follow the stored convention (order+cv_count-2
// knots); span i uses the 2*order-2 knots knot[i .. i+2*order-3] and covers
// [knot[i+order-2], knot[i+order-1]].
#pragma once

namespace pelmora {

// Largest order the internal fixed-size buffers of the span evaluators take.
constexpr int kMaxFastOrder = 16;

// Span index 0..cv_count-order holding u: the last span whose start is <= u,
// span 0 below the domain and the last span at or beyond its end. from_below
// steps back over spans that start exactly at u.
int FindSpan(int order, int cv_count, const double *knot, double u, bool from_below);

// Doubles of work space EvaluateBasis needs.
inline int BasisWorkSize(int order)
{
  return order * order + 4 * order;
}

// Basis functions of the span starting at span_knots (= knot + span index)
// and their derivatives at u: N[d*order + k] is the d-th derivative of the
// k-th function, d = 0..der_count (zero above the degree). Valid for any u:
// outside the span it extrapolates the span's polynomials.
void EvaluateBasis(int order, const double *span_knots, double u, int der_count, double *N,
                   double *work);

// Bezier conversion of a span: M[j*order + k] is the j-th Bernstein
// coefficient of the k-th basis function. work: order*order doubles.
void SpanBezierMatrix(int order, const double *span_knots, double *M, double *work);

// Binomial coefficient for small n.
double Binomial(int n, int k);

// Turns homogeneous derivative blocks (cvsize = dim+1 values each, block
// order S, Ds, Dt, Dss, Dst, Dtt, ...) into Euclidean ones written with
// v_stride. False when the weight is 0.
bool HomogeneousToEuclidean(int dim, int der_count, const double *homogeneous, int v_stride,
                            double *v);

} // namespace pelmora
