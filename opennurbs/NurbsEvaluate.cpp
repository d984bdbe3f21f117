// Evaluation of ON_NurbsSurface: span search, basis functions of both
// directions, tensor sum of the homogeneous control points and, for rational
// surfaces, the quotient rule.
#include "opennurbs.h"

#include <cmath>
#include <new>
#include <vector>

#include "NurbsBasis.h"

using pelmora::BasisWorkSize;
using pelmora::EvaluateBasis;
using pelmora::FindSpan;

namespace {

// Scratch memory: a stack buffer for the usual sizes, the heap beyond.
class Scratch
{
public:
  explicit Scratch(size_t size)
  {
    if (size > sizeof(m_local) / sizeof(double)) {
      m_heap.resize(size);
      m_data = m_heap.data();
    }
  }
  double *data() { return m_data; }

private:
  double m_local[768];
  std::vector<double> m_heap;
  double *m_data = m_local;
};

} // namespace

bool ON_NurbsSurface::Evaluate(double s, double t, int der_count, int v_stride, double *v,
                               int quadrant, int *) const
{
  if (!v || der_count < 0 || m_dim < 1 || v_stride < m_dim || !m_cv || !m_knot[0] || !m_knot[1])
    return false;
  if (m_order[0] < 2 || m_order[1] < 2 || m_cv_count[0] < m_order[0] ||
      m_cv_count[1] < m_order[1] || !std::isfinite(s) || !std::isfinite(t))
    return false;
  try {
    const int order0 = m_order[0];
    const int order1 = m_order[1];
    const int cvsize = CVSize();
    const int blocks = (der_count + 1) * (der_count + 2) / 2;
    const size_t basis0 = size_t(der_count + 1) * order0;
    const size_t basis1 = size_t(der_count + 1) * order1;
    const int max_order = order0 > order1 ? order0 : order1;
    Scratch scratch(basis0 + basis1 + size_t(blocks) * cvsize + BasisWorkSize(max_order));
    double *Ns = scratch.data();
    double *Nt = Ns + basis0;
    double *H = Nt + basis1;
    double *work = H + size_t(blocks) * cvsize;

    // 1. Spans ("from below": s for quadrants 2, 3; t for quadrants 3, 4).
    const bool s_below = quadrant == 2 || quadrant == 3;
    const bool t_below = quadrant == 3 || quadrant == 4;
    const int span0 = FindSpan(order0, m_cv_count[0], m_knot[0], s, s_below);
    const int span1 = FindSpan(order1, m_cv_count[1], m_knot[1], t, t_below);
    EvaluateBasis(order0, m_knot[0] + span0, s, der_count, Ns, work);
    EvaluateBasis(order1, m_knot[1] + span1, t, der_count, Nt, work);

    // 2. Homogeneous derivatives: block (ds, dt) = sum Ns[ds][a] Nt[dt][b] CV.
    for (int n = 0, out = 0; n <= der_count; ++n) {
      for (int dt = 0; dt <= n; ++dt, ++out) {
        const int ds = n - dt;
        double *h = H + size_t(out) * cvsize;
        for (int c = 0; c < cvsize; ++c)
          h[c] = 0.0;
        for (int a = 0; a < order0; ++a) {
          const double bs = Ns[ds * order0 + a];
          const double *row =
              m_cv + (size_t)(span0 + a) * m_cv_stride[0] + (size_t)span1 * m_cv_stride[1];
          for (int b = 0; b < order1; ++b) {
            const double weight = bs * Nt[dt * order1 + b];
            const double *cv = row + (size_t)b * m_cv_stride[1];
            for (int c = 0; c < cvsize; ++c)
              h[c] += weight * cv[c];
          }
        }
      }
    }

    // 3. Euclidean values.
    if (m_is_rat)
      return pelmora::HomogeneousToEuclidean(m_dim, der_count, H, v_stride, v);
    for (int out = 0; out < blocks; ++out)
      for (int c = 0; c < m_dim; ++c)
        v[size_t(out) * v_stride + c] = H[size_t(out) * cvsize + c];
    return true;
  } catch (const std::bad_alloc &) {
    return false;
  }
}
