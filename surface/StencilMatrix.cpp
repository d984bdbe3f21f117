#include "surface/StencilMatrix.h"
#include "opennurbs/ParallelFor.h"

#include <algorithm>

namespace pelmora {

StencilMatrix::StencilMatrix(int rows, int cols)
    : m_rows(rows), m_cols(cols), m_values(static_cast<size_t>(rows) * cols * kSlots, 0.0)
{
}

void StencilMatrix::Add(const StencilMatrix &other, double factor)
{
  const size_t n = m_values.size();
  for (size_t k = 0; k < n; ++k)
    m_values[k] += factor * other.m_values[k];
}

void StencilMatrix::Multiply(const std::vector<double> &in, std::vector<double> &out) const
{
  out.resize(in.size());
  ParallelFor(m_rows, 32, [&](int begin, int end) {
    for (int r = begin; r < end; ++r) {
      const int dr0 = std::max(-2, -r), dr1 = std::min(2, m_rows - 1 - r);
      for (int c = 0; c < m_cols; ++c) {
        const int dc0 = std::max(-2, -c), dc1 = std::min(2, m_cols - 1 - c);
        const int i = r * m_cols + c;
        const double *a = Row(i);
        double sum = 0.0;
        for (int dr = dr0; dr <= dr1; ++dr) {
          const double *x = &in[static_cast<size_t>(i + dr * m_cols)];
          const double *slot = a + Slot(dr, 0);
          for (int dc = dc0; dc <= dc1; ++dc)
            sum += slot[dc] * x[dc];
        }
        out[i] = sum;
      }
    }
  });
}

double StencilMatrix::Quadratic(const std::vector<double> &x) const
{
  std::vector<double> product;
  Multiply(x, product);
  double sum = 0.0;
  for (size_t i = 0; i < x.size(); ++i)
    sum += x[i] * product[i];
  return sum;
}

} // namespace pelmora
