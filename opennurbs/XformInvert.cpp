// Inversion by Gauss-Jordan elimination with full pivoting.
#include "opennurbs/opennurbs_xform.h"

#include <cmath>
#include <utility>

namespace {

void SwapRows(double m[4][4], int a, int b)
{
  for (int j = 0; j < 4; j++)
    std::swap(m[a][j], m[b][j]);
}

void SwapColumns(double m[4][4], int a, int b)
{
  for (int i = 0; i < 4; i++)
    std::swap(m[i][a], m[i][b]);
}

// Reduces M to the identity while applying the same row operations to I.
// Returns the rank found; *min_pivot receives the smallest pivot magnitude.
int Eliminate(double M[4][4], double I[4][4], int col[4], double *min_pivot)
{
  int rank = 0;
  *min_pivot = 0.0;
  for (int k = 0; k < 3; k++) {
    // 1. largest magnitude in the lower-right block, first one on ties
    int r = k, c = k;
    double x = std::fabs(M[k][k]);
    for (int i = k; i < 4; i++) {
      for (int j = k; j < 4; j++) {
        const double a = std::fabs(M[i][j]);
        if (a > x) {
          x = a;
          r = i;
          c = j;
        }
      }
    }
    if (k == 0 || x < *min_pivot)
      *min_pivot = x;
    // 2. bring it to (k, k)
    if (r != k)
      SwapRows(M, k, r), SwapRows(I, k, r);
    if (c != k)
      SwapColumns(M, k, c), col[k] = c;
    if (!(x > 0.0))
      return rank;
    rank++;
    // 3. scale the pivot row
    const double p = M[k][k];
    for (int j = k + 1; j < 4; j++)
      M[k][j] /= p;
    for (int j = 0; j < 4; j++)
      I[k][j] /= p;
    // 4. clear column k in the other rows
    const double tol = x * ON_EPSILON;
    for (int i = 0; i < 4; i++) {
      if (i == k || !(std::fabs(M[i][k]) > tol))
        continue;
      const double f = -M[i][k];
      for (int j = k + 1; j < 4; j++)
        M[i][j] += f * M[k][j];
      for (int j = 0; j < 4; j++)
        I[i][j] += f * I[k][j];
    }
  }
  // Last stage: no search and no swaps.
  const double x = std::fabs(M[3][3]);
  if (x < *min_pivot)
    *min_pivot = x;
  if (x > 0.0) {
    rank++;
    const double p = M[3][3];
    for (int j = 0; j < 4; j++)
      I[3][j] /= p;
    const double tol = x * ON_EPSILON;
    for (int i = 0; i < 3; i++) {
      if (!(std::fabs(M[i][3]) > tol))
        continue;
      const double f = -M[i][3];
      for (int j = 0; j < 4; j++)
        I[i][j] += f * I[3][j];
    }
  }
  return rank;
}

int InvertInto(const double src[4][4], double out[4][4], double *pivot)
{
  double M[4][4];
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) {
      M[i][j] = src[i][j];
      out[i][j] = (i == j) ? 1.0 : 0.0;
    }
  int col[4] = {0, 1, 2, 3};
  double min_pivot = 0.0;
  const int rank = Eliminate(M, out, col, &min_pivot);
  // Undo the column permutation as row swaps, last stage first.
  for (int k = 3; k >= 0; k--) {
    if (col[k] != k)
      SwapRows(out, k, col[k]);
  }
  if (pivot)
    *pivot = min_pivot;
  return rank;
}

} // namespace

bool ON_Xform::Invert(double *pivot)
{
  double inverse[4][4];
  const int rank = InvertInto(m_xform, inverse, pivot);
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++)
      m_xform[i][j] = inverse[i][j];
  return rank == 4;
}

ON_Xform ON_Xform::Inverse(double *pivot) const
{
  ON_Xform result;
  InvertInto(m_xform, result.m_xform, pivot);
  return result;
}
