#include "surface/GridCoverage.h"
#include "surface/NearestNode.h"

namespace pelmora {
namespace {

// The step between nodes along one axis; unused with a single node.
double StepOf(double low, double high, int nodes)
{
  return nodes > 1 ? (high - low) / static_cast<double>(nodes - 1) : 0.0;
}

void MarkFilled(const ON_3dPointArray &aligned, const FiniteBounds &box, int rows, int cols,
                std::vector<unsigned char> &filled)
{
  const double dx = StepOf(box.min.x, box.max.x, cols);
  const double dy = StepOf(box.min.y, box.max.y, rows);
  filled.assign(static_cast<size_t>(rows) * static_cast<size_t>(cols), 0);
  const ON_3dPoint *p = aligned.Array();
  for (int i = 0; i < aligned.Count(); ++i) {
    if (!IsFinitePoint(p[i]))
      continue;
    const int c = cols == 1 ? 0 : NearestNode((p[i].x - box.min.x) / dx, cols);
    const int r = rows == 1 ? 0 : NearestNode((p[i].y - box.min.y) / dy, rows);
    filled[static_cast<size_t>(r) * cols + c] = 1;
  }
}

// First and last filled index of a line of nodes (start, stride, count);
// first > last when the line is empty.
void FilledSpan(const std::vector<unsigned char> &filled, size_t start, size_t stride, int count,
                int &first, int &last)
{
  first = count;
  last = -1;
  for (int k = 0; k < count; ++k)
    if (filled[start + k * stride]) {
      first = first < k ? first : k;
      last = k;
    }
}

} // namespace

PMGridCoverage MeasureCoverage(const ON_3dPointArray &aligned, const FiniteBounds &box, int rows,
                               int cols, std::vector<unsigned char> &filled)
{
  MarkFilled(aligned, box, rows, cols, filled);
  std::vector<int> firstInColumn(static_cast<size_t>(cols)),
      lastInColumn(static_cast<size_t>(cols));
  for (int c = 0; c < cols; ++c)
    FilledSpan(filled, static_cast<size_t>(c), static_cast<size_t>(cols), rows, firstInColumn[c],
               lastInColumn[c]);
  PMGridCoverage coverage;
  coverage.nodes = rows * cols;
  for (int r = 0; r < rows; ++r) {
    const size_t rowStart = static_cast<size_t>(r) * cols;
    int firstInRow, lastInRow;
    FilledSpan(filled, rowStart, 1, cols, firstInRow, lastInRow);
    for (int c = 0; c < cols; ++c) {
      if (filled[rowStart + c]) {
        ++coverage.filled;
        continue;
      }
      if (r == 0 || c == 0 || r == rows - 1 || c == cols - 1)
        ++coverage.borderHoles;
      if ((firstInRow < c && c < lastInRow) || (firstInColumn[c] < r && r < lastInColumn[c]))
        ++coverage.enclosedHoles;
    }
  }
  return coverage;
}

double FilledShare(const PMGridCoverage &coverage)
{
  const double counted = static_cast<double>(coverage.filled) + coverage.enclosedHoles;
  return counted > 0.0 ? coverage.filled / counted : 0.0;
}

} // namespace pelmora
