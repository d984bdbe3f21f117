#include "cli/DrapeSummary.h"
#include "PMSurface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pelmora::cli {
namespace {

// The nearest node for a position u in grid steps (a remainder of 0.5 or
// more rounds up, as the point matrix rounds), held to the grid.
int NearestNode(double u, int nodes)
{
  if (!(u > 0.0))
    return 0;
  const double node = std::floor(u + 0.5);
  return node < nodes - 1 ? int(node) : nodes - 1;
}

double Percent(double part, double whole)
{
  return whole > 0 ? 100.0 * part / whole : 0.0;
}

void PrintNodes(const DrapeOutcome &outcome)
{
  const PMGridCoverage &c = outcome.coverage;
  const int holes = c.nodes - c.filled;
  if (outcome.accurate) {
    std::printf("nodes      %d: %d hold points, %d held by the smoothing (%.1f %%)\n", c.nodes,
                c.filled, holes, Percent(holes, c.nodes));
  } else if (outcome.interpolated) {
    const int interpolated = holes - c.borderHoles;
    std::printf("nodes      %d: %d hold points, %d interpolated (%.1f %%), %d on the floor "
                "(%.1f %%)\n",
                c.nodes, c.filled, interpolated, Percent(interpolated, c.nodes), c.borderHoles,
                Percent(c.borderHoles, c.nodes));
  } else {
    std::printf("nodes      %d: %d hold points, %d on the floor (%.1f %%)\n", c.nodes, c.filled,
                holes, Percent(holes, c.nodes));
  }
}

void PrintDeviation(const DrapeOutcome &outcome)
{
  const PMDeviationReport &d = outcome.deviation;
  if (d.measured == 0)
    return;
  const ON_3dPoint &p = d.maximumPoint;
  std::printf("deviation  rms %.4g, mean %.4g, 95 %% within %.4g, largest %.4g at %.6g,%.6g,%.6g\n",
              d.rms, d.mean, d.percentile95, d.maximum, p.x, p.y, p.z);
  if (outcome.hasTolerance)
    std::printf("           %d of %d points (%.2f %%) beyond the tolerance %.6g\n",
                d.beyondTolerance, d.measured, Percent(d.beyondTolerance, d.measured), d.tolerance);
  if (d.skipped > 0)
    std::printf("           %d points not measured (no closest point)\n", d.skipped);
}

void PrintFolds(const DrapeOutcome &outcome)
{
  const ON_SimpleArray<int> &folds = outcome.folds;
  if (folds.Count() == 0)
    return;
  int r0 = outcome.rows, r1 = -1, c0 = outcome.cols, c1 = -1;
  ON_3dPointArray foldPoints;
  for (int k = 0; k < folds.Count(); ++k) {
    const int r = folds[k] / outcome.cols, c = folds[k] % outcome.cols;
    r0 = std::min(r0, r);
    r1 = std::max(r1, r);
    c0 = std::min(c0, c);
    c1 = std::max(c1, c);
    foldPoints.Append(outcome.matrix[folds[k]]);
  }
  const ON_BoundingBox box = foldPoints.BoundingBox();
  if (outcome.accurate)
    std::printf("warning    the probe could not follow the part at %d nodes (%.1f %%): there it "
                "is curved more tightly than the probe radius %.6g, and the surface is what the "
                "ball reached\n",
                folds.Count(), Percent(folds.Count(), outcome.rows * outcome.cols),
                0.5 * std::fabs(outcome.probeDiameter));
  else
    std::printf("warning    the probe compensation folds the surface over itself at %d nodes "
                "(%.1f %%): there it bends more tightly than the probe radius %.6g\n",
                folds.Count(), Percent(folds.Count(), outcome.rows * outcome.cols),
                0.5 * std::fabs(outcome.probeDiameter));
  std::printf("           rows %d..%d, columns %d..%d; x %.6g .. %.6g, y %.6g .. %.6g, z %.6g .. "
              "%.6g\n",
              r0, r1, c0, c1, box.m_min.x, box.m_max.x, box.m_min.y, box.m_max.y, box.m_min.z,
              box.m_max.z);
}

} // namespace

namespace {

// The grid the point matrix lays over the aligned cloud, and the node each
// aligned point goes to.
struct CloudGrid
{
  ON_BoundingBox box;
  double dx = 0.0, dy = 0.0;
  int rows = 0, cols = 0;

  CloudGrid(const ON_3dPointArray &aligned, int rows_, int cols_)
      : box(aligned.BoundingBox()), rows(rows_), cols(cols_)
  {
    dx = (box.m_max.x - box.m_min.x) / (cols - 1);
    dy = (box.m_max.y - box.m_min.y) / (rows - 1);
  }
  int Node(const ON_3dPoint &p) const
  {
    return NearestNode((p.y - box.m_min.y) / dy, rows) * cols +
           NearestNode((p.x - box.m_min.x) / dx, cols);
  }
};

ON_3dPointArray AlignedValidPoints(const ON_3dPointArray &points, const ON_3dVector &direction)
{
  ON_3dPointArray aligned;
  for (int i = 0; i < points.Count(); ++i)
    if (points[i].IsValid())
      aligned.Append(points[i]);
  PMSurface::TransformPoints(aligned, direction, 1, 0);
  return aligned;
}

} // namespace

std::vector<unsigned char> PointsOnFolds(const DrapeOutcome &outcome, const ON_3dPointArray &points,
                                         const ON_3dVector &direction)
{
  std::vector<unsigned char> onFold(size_t(points.Count()), 0);
  if (outcome.folds.Count() == 0)
    return onFold;
  std::vector<unsigned char> foldNode(size_t(outcome.rows) * outcome.cols, 0);
  for (int k = 0; k < outcome.folds.Count(); ++k)
    foldNode[size_t(outcome.folds[k])] = 1;
  const ON_3dPointArray aligned = AlignedValidPoints(points, direction);
  const CloudGrid grid(aligned, outcome.rows, outcome.cols);
  for (int i = 0, k = 0; i < points.Count(); ++i) {
    if (!points[i].IsValid())
      continue;
    onFold[size_t(i)] = foldNode[size_t(grid.Node(aligned[k++]))];
  }
  return onFold;
}

ON_SimpleArray<int> NodesUnder(const ON_3dPointArray &marked, const DrapeOutcome &outcome,
                               const ON_3dPointArray &points, const ON_3dVector &direction)
{
  ON_SimpleArray<int> nodes;
  if (marked.Count() == 0)
    return nodes;
  const CloudGrid grid(AlignedValidPoints(points, direction), outcome.rows, outcome.cols);
  std::vector<unsigned char> hit(size_t(outcome.rows) * outcome.cols, 0);
  const ON_3dPointArray alignedMarks = AlignedValidPoints(marked, direction);
  for (int i = 0; i < alignedMarks.Count(); ++i)
    hit[size_t(grid.Node(alignedMarks[i]))] = 1;
  for (size_t k = 0; k < hit.size(); ++k)
    if (hit[k])
      nodes.Append(int(k));
  return nodes;
}

void PrintDrapeSummary(const std::string &cloudName, int pointCount, const double direction[3],
                       const DrapeOutcome &outcome)
{
  std::printf("cloud      %s (%d points)\n", cloudName.c_str(), pointCount);
  std::printf("direction  %.6g,%.6g,%.6g\n", direction[0], direction[1], direction[2]);
  std::printf("grid       %d rows x %d columns%s%s%s\n", outcome.rows, outcome.cols,
              outcome.gridOrigin.empty() ? "" : " (", outcome.gridOrigin.c_str(),
              outcome.gridOrigin.empty() ? "" : ")");
  PrintNodes(outcome);
  if (outcome.accurate) {
    const PMFitReport &fit = outcome.fit;
    std::printf("fit        accurate: least squares, smoothing %.4g (%s), residual rms %.4g\n",
                fit.smoothing, fit.smoothingChosen ? "chosen by hold-out" : "given",
                fit.residualRms);
    if (outcome.probeDiameter != 0.0)
      std::printf("probe      diameter %.6g, surface on the ball's lower envelope\n",
                  outcome.probeDiameter);
  } else if (outcome.probeDiameter != 0.0) {
    std::printf("probe      diameter %.6g, surface offset by %.6g\n", outcome.probeDiameter,
                -0.5 * outcome.probeDiameter);
  }
  const ON_NurbsSurface &s = outcome.surface;
  std::printf("surface    degree %d x %d, %d x %d control points, domain [%.6g, %.6g] x "
              "[%.6g, %.6g]\n",
              s.Degree(0), s.Degree(1), s.CVCount(0), s.CVCount(1), s.Domain(0)[0], s.Domain(0)[1],
              s.Domain(1)[0], s.Domain(1)[1]);
  PrintDeviation(outcome);
  PrintFolds(outcome);
}

} // namespace pelmora::cli
