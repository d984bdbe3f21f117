// PMSurface::CreatePointMatrix: lays a rows x cols grid over the bounding
// box of the aligned cloud, gives every node the highest z of the points
// nearest to it and then treats the nodes no point reached (holes).
//
// Steps: 1. check the input and find the finite bounding box; 2. lay the
// grid by repeated addition of the steps, holes marked below the floor;
// 3. assign the points ("Calculating surface"); 4. either lower every hole
// to the floor ("Finalizing surface") or look for a hole ("Checking for
// missing points"), raise the border holes to the floor and interpolate the
// interior ones in one row-major sweep ("Interpolating points").
#include "PMSurface.h"
#include "surface/FiniteBounds.h"
#include "surface/OperationGuard.h"
#include "surface/InverseDistance.h"
#include "surface/NearestNode.h"
#include "surface/ProgressPhase.h"

#include <climits>
#include <cmath>
#include <new>
#include <vector>

namespace {

using pelmora::ProgressPhase;

struct Grid
{
  int rows = 0;
  int cols = 0;
  double xmin = 0.0, ymin = 0.0;
  double dx = 0.0, dy = 0.0; // steps; unused along an axis with one node
  double floorZ = 0.0;       // the cloud's lowest z
  double holeZ = 0.0;        // the marker of a missing cell, below floorZ
};

// The spacing along one axis, or a message when the grid cannot be laid.
const wchar_t *AxisStep(double low, double high, int nodes, const wchar_t *flatMessage,
                        double &step)
{
  step = INFINITY; // one node: the division by nodes - 1 = 0
  if (nodes == 1)
    return nullptr;
  const double extent = high - low;
  if (!std::isfinite(extent))
    return L"The point cloud is too large for a point matrix";
  step = extent / static_cast<double>(nodes - 1);
  if (!(step > 0.0))
    return flatMessage;
  return nullptr;
}

// Checks what the grid needs and fills `grid`; returns the error text when
// the point matrix cannot be built.
const wchar_t *PlanGrid(const ON_3dPointArray &points, int rows, int cols, Grid &grid)
{
  if (rows < 1 || cols < 1)
    return L"The point matrix needs at least 1 row and 1 column";
  if (static_cast<long long>(rows) * cols > INT_MAX)
    return L"The point matrix has too many points";
  const pelmora::FiniteBounds box = pelmora::ComputeFiniteBounds(points);
  if (box.count == 0)
    return L"The point cloud has no points with finite coordinates";
  if (const wchar_t *error =
          AxisStep(box.min.x, box.max.x, cols,
                   L"The point cloud has no extent along x for more than 1 column", grid.dx))
    return error;
  if (const wchar_t *error =
          AxisStep(box.min.y, box.max.y, rows,
                   L"The point cloud has no extent along y for more than 1 row", grid.dy))
    return error;
  grid.rows = rows;
  grid.cols = cols;
  grid.xmin = box.min.x;
  grid.ymin = box.min.y;
  grid.floorZ = box.min.z;
  grid.holeZ = box.min.z - 1.0;
  if (!(grid.holeZ < grid.floorZ)) // |zmin| beyond 2^53 absorbs the 1.0
    grid.holeZ = std::nextafter(grid.floorZ, -INFINITY);
  return nullptr;
}

bool LayGrid(const Grid &grid, ON_3dPointArray &matrix)
{
  const int total = grid.rows * grid.cols;
  matrix.Destroy();
  matrix.Reserve(total);
  if (matrix.Capacity() < total)
    return false;
  matrix.SetCount(total);
  ON_3dPoint *cell = matrix.Array();
  double y = grid.ymin;
  for (int r = 0; r < grid.rows; ++r) {
    double x = grid.xmin;
    for (int c = 0; c < grid.cols; ++c) {
      *cell++ = ON_3dPoint(x, y, grid.holeZ);
      x += grid.dx;
    }
    y += grid.dy;
  }
  return true;
}

// The cell of a point, or -1 for a point with a non-finite coordinate.
inline int CellOf(const Grid &grid, const ON_3dPoint &q)
{
  if (!pelmora::IsFinitePoint(q))
    return -1;
  const int c = grid.cols == 1 ? 0 : pelmora::NearestNode((q.x - grid.xmin) / grid.dx, grid.cols);
  const int r = grid.rows == 1 ? 0 : pelmora::NearestNode((q.y - grid.ymin) / grid.dy, grid.rows);
  return r * grid.cols + c;
}

// One pass in cloud order; each cell keeps the highest z. The cells of the
// next few points are located and prefetched ahead, since a scattered cloud
// visits the matrix in random order.
void AssignPoints(const ON_3dPointArray &points, const Grid &grid, ON_3dPointArray &matrix,
                  int showProgress)
{
  constexpr int kAhead = 16; // a power of 2
  ProgressPhase phase(L"Calculating surface", showProgress);
  const int n = points.Count();
  const ON_3dPoint *p = points.Array();
  ON_3dPoint *cell = matrix.Array();
  int ahead[kAhead];
  for (int i = 0; i < kAhead && i < n; ++i)
    ahead[i] = CellOf(grid, p[i]);
  phase.Start(n);
  for (int i = 0; i < n; ++i) {
    if (phase.Shown())
      phase.At(i);
    const int k = ahead[i & (kAhead - 1)];
    if (i + kAhead < n) {
      const int next = CellOf(grid, p[i + kAhead]);
      ahead[i & (kAhead - 1)] = next;
      if (next >= 0)
        __builtin_prefetch(&cell[next].z, 1);
    }
    if (k >= 0 && cell[k].z < p[i].z)
      cell[k].z = p[i].z;
  }
  phase.End();
}

void LowerHoles(const Grid &grid, ON_3dPointArray &matrix, int showProgress)
{
  ProgressPhase phase(L"Finalizing surface", showProgress);
  ON_3dPoint *cell = matrix.Array();
  phase.Run(matrix.Count(), [&](int k) {
    if (cell[k].z < grid.floorZ)
      cell[k].z = grid.floorZ;
  });
}

bool HasHole(const Grid &grid, const ON_3dPointArray &matrix, int showProgress)
{
  ProgressPhase phase(L"Checking for missing points", showProgress);
  const int total = matrix.Count();
  const ON_3dPoint *cell = matrix.Array();
  phase.Start(total);
  bool found = false;
  for (int k = 0; k < total && !found; ++k) {
    if (phase.Shown())
      phase.At(k);
    found = cell[k].z < grid.floorZ;
  }
  phase.End();
  return found;
}

void RaiseBorder(const Grid &grid, ON_3dPointArray &matrix)
{
  ON_3dPoint *cell = matrix.Array();
  auto raise = [&](int r, int c) {
    double &z = cell[r * grid.cols + c].z;
    if (z < grid.floorZ)
      z = grid.floorZ;
  };
  for (int c = 0; c < grid.cols; ++c) {
    raise(0, c);
    raise(grid.rows - 1, c);
  }
  for (int r = 0; r < grid.rows; ++r) {
    raise(r, 0);
    raise(r, grid.cols - 1);
  }
}

// The row-major sweep that fills the interior holes. It gives exactly the
// result of calling InterpolatePoint on every hole in turn, without its
// searches: cells behind the sweep (left, previous rows) are final, so the
// last known cell of the row and of each column is remembered; cells ahead
// of it (right, next rows) are still as the border step left them, so the
// next known cell of the row and of each column is found by pointers that
// only move forward.
class HoleSweep
{
public:
  HoleSweep(const Grid &grid, ON_3dPointArray &matrix)
      : m_grid(grid), m_matrix(matrix), m_cell(matrix.Array()),
        m_lastKnownRow(static_cast<size_t>(grid.cols), -1),
        m_nextKnownRow(static_cast<size_t>(grid.cols), 0)
  {
  }

  void StartRow(int r)
  {
    m_row = r;
    m_lastKnownCol = -1;
    m_nextKnownCol = 0;
  }

  void Visit(int c, int k)
  {
    if (!Known(k))
      Fill(c, k);
    if (Known(k)) {
      m_lastKnownCol = c;
      m_lastKnownRow[c] = m_row;
    }
  }

private:
  bool Known(int k) const { return m_cell[k].z >= m_grid.floorZ; }

  void Fill(int c, int k)
  {
    const int cols = m_grid.cols;
    const int rowStart = k - c;
    if (m_nextKnownCol <= c)
      m_nextKnownCol = c + 1;
    while (m_nextKnownCol < cols && !Known(rowStart + m_nextKnownCol))
      ++m_nextKnownCol;
    int &below = m_nextKnownRow[c];
    if (below <= m_row)
      below = m_row + 1;
    while (below < m_grid.rows && !Known(below * cols + c))
      ++below;

    pelmora::HoleNeighbours n;
    n.left = m_lastKnownCol >= 0 ? rowStart + m_lastKnownCol : -1;
    n.right = m_nextKnownCol < cols ? rowStart + m_nextKnownCol : -1;
    n.previousRow = m_lastKnownRow[c] >= 0 ? m_lastKnownRow[c] * cols + c : -1;
    n.nextRow = below < m_grid.rows ? below * cols + c : -1;
    pelmora::FillFromNeighbours(m_matrix, k, n);
  }

  const Grid &m_grid;
  ON_3dPointArray &m_matrix;
  ON_3dPoint *m_cell;
  std::vector<int> m_lastKnownRow; // per column: last known row above
  std::vector<int> m_nextKnownRow; // per column: next known row below
  int m_row = 0;
  int m_lastKnownCol = -1;
  int m_nextKnownCol = 0;
};

void InterpolateHoles(const Grid &grid, ON_3dPointArray &matrix, int showProgress)
{
  ProgressPhase phase(L"Interpolating points", showProgress);
  HoleSweep sweep(grid, matrix);
  phase.Start(grid.rows * grid.cols);
  int k = 0;
  for (int r = 0; r < grid.rows; ++r) {
    sweep.StartRow(r);
    for (int c = 0; c < grid.cols; ++c, ++k) {
      if (phase.Shown())
        phase.At(k);
      sweep.Visit(c, k);
    }
  }
  phase.End();
}

int BuildMatrix(const ON_3dPointArray &points, int rows, int cols, ON_3dPointArray &matrix,
                int interpolate, int showProgress)
{
  Grid grid;
  if (const wchar_t *error = PlanGrid(points, rows, cols, grid)) {
    PMSurface::SetError(error);
    return 0;
  }
  if (!LayGrid(grid, matrix)) {
    PMSurface::SetError(L"Not enough memory for the point matrix");
    return 0;
  }
  AssignPoints(points, grid, matrix, showProgress);
  if (!interpolate) {
    LowerHoles(grid, matrix, showProgress);
    return 1;
  }
  if (!HasHole(grid, matrix, showProgress))
    return 1;
  RaiseBorder(grid, matrix);
  InterpolateHoles(grid, matrix, showProgress);
  return 1;
}

} // namespace

int PMSurface::CreatePointMatrix(const ON_3dPointArray &points, int rows, int cols,
                                 ON_3dPointArray &matrix, int interpolate, int showProgress)
{
  const pelmora::FailureMessages messages{L"Not enough memory for the point matrix",
                                          L"The point matrix could not be built"};
  return pelmora::GuardedOperation(messages, [&] {
    if (&points == &matrix) {
      // The matrix replaces the cloud it is built from: work on a copy.
      const ON_3dPointArray cloud(points);
      if (cloud.Count() != points.Count())
        throw std::bad_alloc();
      return BuildMatrix(cloud, rows, cols, matrix, interpolate, showProgress);
    }
    return BuildMatrix(points, rows, cols, matrix, interpolate, showProgress);
  });
}
