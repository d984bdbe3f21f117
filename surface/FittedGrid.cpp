// PMSurface::SuggestFittedGrid and PMSurface::MeasureGridCoverage: a grid
// that fits the cloud's real spacing, and how a given grid is covered.
//
// The suggestion of AnalyzePoints assumes evenly spread points (one node per
// point). Scan lines leave gaps between the lines and most of such a grid
// empty, so here cell sizes are tried from that one upwards, each a tenth
// coarser, until nearly all nodes inside the cloud's outline receive a
// point; the step between the last grid that failed and the first that fits
// is then narrowed by bisection. Cells are square (as near as the counts
// allow).
#include "PMSurface.h"
#include "surface/FiniteBounds.h"
#include "surface/GridCoverage.h"
#include "surface/OperationGuard.h"

#include <climits>
#include <cmath>
#include <new>
#include <vector>

namespace {

using pelmora::FiniteBounds;

constexpr double kWantedShare = 0.95; // of the nodes inside the outline
constexpr double kCoarsening = 1.1;   // between the cell sizes tried
constexpr int kBisections = 8;
constexpr int kFewestNodes = 3; // along each axis: what a biquadratic surface needs

ON_3dPointArray AlignedCopy(const ON_3dPointArray &points, const ON_3dVector &direction)
{
  ON_3dPointArray aligned(points);
  if (aligned.Count() != points.Count())
    throw std::bad_alloc();
  PMSurface::TransformPoints(aligned, direction, 1, 0);
  return aligned;
}

// Nodes along an extent for cells of about `cell`.
int NodesAlong(double extent, double cell)
{
  const double nodes = std::floor(extent / cell + 0.5) + 1.0;
  if (!(nodes > kFewestNodes))
    return kFewestNodes;
  return nodes < INT_MAX / kFewestNodes ? static_cast<int>(nodes) : INT_MAX / kFewestNodes;
}

class FitSearch
{
public:
  FitSearch(const ON_3dPointArray &aligned, const FiniteBounds &box)
      : m_pointCount(aligned.Count()), m_offsets(pelmora::CornerOffsets(aligned, box)), m_box(box),
        m_width(box.max.x - box.min.x), m_height(box.max.y - box.min.y)
  {
  }

  // The grid for cells of about `cell`, and whether it fits.
  bool Fits(double cell, int &rows, int &cols)
  {
    rows = NodesAlong(m_height, cell);
    cols = NodesAlong(m_width, cell);
    if (static_cast<long long>(rows) * cols > m_pointCount * 4LL)
      return false; // finer than the points can fill
    const PMGridCoverage coverage =
        pelmora::MeasureCoverage(m_offsets, m_box, rows, cols, m_filled);
    return pelmora::FilledShare(coverage) >= kWantedShare;
  }

  // The finest grid found to fit, or the coarsest when none does.
  void Suggest(int &rows, int &cols)
  {
    const double evenCell = std::sqrt(m_width * m_height / m_box.count);
    const double coarsest = 2.0 * std::fmax(m_width, m_height);
    double failed = 0.0, cell = evenCell;
    while (!Fits(cell, rows, cols)) {
      if (rows == kFewestNodes && cols == kFewestNodes)
        return;
      failed = cell;
      cell = std::fmin(cell * kCoarsening, coarsest);
    }
    if (failed == 0.0)
      return; // the even grid fits already: no finer grid is wanted
    double fits = cell;
    for (int k = 0; k < kBisections; ++k) {
      const double middle = 0.5 * (failed + fits);
      int r, c;
      if (Fits(middle, r, c))
        fits = middle;
      else
        failed = middle;
    }
    Fits(fits, rows, cols);
  }

private:
  int m_pointCount;
  std::vector<double> m_offsets;
  const FiniteBounds &m_box;
  double m_width, m_height;
  std::vector<unsigned char> m_filled;
};

bool HasArea(const FiniteBounds &box)
{
  const double width = box.max.x - box.min.x, height = box.max.y - box.min.y;
  return box.count > 1 && width > 0.0 && height > 0.0 && std::isfinite(width * height);
}

} // namespace

void PMSurface::SuggestFittedGrid(const ON_3dPointArray &points, const ON_3dVector &direction,
                                  int &rows, int &cols)
{
  pelmora::Guarded(
      [&] {
        const ON_3dPointArray aligned = AlignedCopy(points, direction);
        const FiniteBounds box = pelmora::ComputeFiniteBounds(aligned);
        if (HasArea(box))
          FitSearch(aligned, box).Suggest(rows, cols);
        else
          AnalyzePoints(aligned, direction, rows, cols);
      },
      [&](pelmora::Failure) noexcept {
        rows = 1; // as AnalyzePoints answers a failure
        cols = 1;
      });
}

int PMSurface::MeasureGridCoverage(const ON_3dPointArray &points, const ON_3dVector &direction,
                                   int rows, int cols, PMGridCoverage &coverage)
{
  const pelmora::FailureMessages messages{L"Not enough memory for the grid",
                                          L"The grid coverage could not be measured"};
  return pelmora::GuardedOperation(messages, [&] {
    if (rows < 1 || cols < 1 || static_cast<long long>(rows) * cols > INT_MAX) {
      SetError(L"The grid needs at least 1 row and 1 column, and at most 2^31 - 1 nodes");
      return 0;
    }
    const ON_3dPointArray aligned = AlignedCopy(points, direction);
    const FiniteBounds box = pelmora::ComputeFiniteBounds(aligned);
    const bool flatX = !(box.max.x - box.min.x > 0.0), flatY = !(box.max.y - box.min.y > 0.0);
    if (box.count == 0 || (cols > 1 && flatX) || (rows > 1 && flatY)) {
      SetError(L"The point cloud has no extent for this grid");
      return 0;
    }
    std::vector<unsigned char> filled;
    coverage =
        pelmora::MeasureCoverage(pelmora::CornerOffsets(aligned, box), box, rows, cols, filled);
    return 1;
  });
}
