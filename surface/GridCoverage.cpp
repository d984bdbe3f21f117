#include "surface/GridCoverage.h"
#include "surface/NearestNode.h"
#include "opennurbs/ParallelFor.h"

namespace pelmora {
namespace {

// The step between nodes along one axis; unused with a single node.
double StepOf(double low, double high, int nodes)
{
  return nodes > 1 ? (high - low) / static_cast<double>(nodes - 1) : 0.0;
}

// Points per piece of a parallel marking pass.
constexpr int kPointsPerPiece = 1 << 15;

void MarkFilled(const std::vector<double> &offsets, const FiniteBounds &box, int rows, int cols,
                std::vector<unsigned char> &filled)
{
  const double dx = StepOf(box.min.x, box.max.x, cols);
  const double dy = StepOf(box.min.y, box.max.y, rows);
  filled.assign(static_cast<size_t>(rows) * static_cast<size_t>(cols), 0);
  const double *xy = offsets.data();
  unsigned char *flags = filled.data();
  // Pieces may mark the same node; every store writes the same 1, made
  // atomic so that the overlap is well defined.
  ParallelFor(static_cast<int>(offsets.size() / 2), kPointsPerPiece, [&](int begin, int end) {
    for (int i = begin; i < end; ++i) {
      const int c = cols == 1 ? 0 : NearestNode(xy[2 * i] / dx, cols);
      const int r = rows == 1 ? 0 : NearestNode(xy[2 * i + 1] / dy, rows);
      __atomic_store_n(&flags[static_cast<size_t>(r) * cols + c], 1, __ATOMIC_RELAXED);
    }
  });
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

std::vector<double> CornerOffsets(const ON_3dPointArray &aligned, const FiniteBounds &box)
{
  std::vector<double> offsets;
  offsets.reserve(2 * static_cast<size_t>(box.count));
  ON_AdviseHugePages(offsets.data(), offsets.capacity() * sizeof(double));
  const ON_3dPoint *p = aligned.Array();
  for (int i = 0; i < aligned.Count(); ++i)
    if (IsFinitePoint(p[i])) {
      offsets.push_back(p[i].x - box.min.x);
      offsets.push_back(p[i].y - box.min.y);
    }
  return offsets;
}

PMGridCoverage MeasureCoverage(const std::vector<double> &offsets, const FiniteBounds &box,
                               int rows, int cols, std::vector<unsigned char> &filled)
{
  MarkFilled(offsets, box, rows, cols, filled);
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
