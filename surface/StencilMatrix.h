// A symmetric matrix over the control values of a rows x cols quadratic
// B-spline grid. Two basis functions overlap only when their rows and their
// columns differ by at most 2, so each row of the matrix has at most 25
// entries, stored at fixed slots (dr + 2) * 5 + (dc + 2). Both halves are
// stored, which keeps the product a plain loop.
#pragma once

#include <cstddef>
#include <vector>

namespace pelmora {

class StencilMatrix
{
public:
  static constexpr int kSlots = 25;
  static constexpr int Slot(int dr, int dc) { return (dr + 2) * 5 + (dc + 2); }

  StencilMatrix() = default;
  StencilMatrix(int rows, int cols);

  int Rows() const { return m_rows; }
  int Cols() const { return m_cols; }
  int Size() const { return m_rows * m_cols; }

  double *Row(int i) { return &m_values[static_cast<size_t>(i) * kSlots]; }
  const double *Row(int i) const { return &m_values[static_cast<size_t>(i) * kSlots]; }
  double Diagonal(int i) const { return Row(i)[Slot(0, 0)]; }

  // this += factor * other (same grid).
  void Add(const StencilMatrix &other, double factor = 1.0);
  // out = this * in, on the machine's cores.
  void Multiply(const std::vector<double> &in, std::vector<double> &out) const;
  // x' M x.
  double Quadratic(const std::vector<double> &x) const;

private:
  int m_rows = 0, m_cols = 0;
  std::vector<double> m_values;
};

} // namespace pelmora
