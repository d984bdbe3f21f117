#include "cli/DrapeSummary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pelmora::cli {
namespace {

// The Greville abscissae of the control points along `dir` (increasing).
std::vector<double> ControlPointParameters(const ON_NurbsSurface &surface, int dir)
{
  std::vector<double> values(size_t(surface.CVCount(dir)));
  for (int i = 0; i < surface.CVCount(dir); ++i)
    values[size_t(i)] = ControlPointParameter(surface, dir, i);
  return values;
}

// Index of the abscissa nearest to `value`.
int Nearest(const std::vector<double> &abscissae, double value)
{
  const auto above = std::lower_bound(abscissae.begin(), abscissae.end(), value);
  if (above == abscissae.begin())
    return 0;
  if (above == abscissae.end() || value - above[-1] < *above - value)
    return int(above - abscissae.begin()) - 1;
  return int(above - abscissae.begin());
}

double Percent(double part, double whole)
{
  return whole > 0 ? 100.0 * part / whole : 0.0;
}

void PrintNodes(const DrapeOutcome &outcome)
{
  const PMGridCoverage &c = outcome.coverage;
  const int holes = c.nodes - c.filled;
  if (outcome.interpolated) {
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

double ControlPointParameter(const ON_NurbsSurface &surface, int dir, int index)
{
  double sum = 0.0;
  for (int k = 0; k < surface.Order(dir) - 1; ++k)
    sum += surface.Knot(dir, index + k);
  return sum / (surface.Order(dir) - 1);
}

std::vector<unsigned char> PointsOnFolds(const DrapeOutcome &outcome)
{
  std::vector<unsigned char> onFold(size_t(outcome.parameters.Count()), 0);
  if (outcome.folds.Count() == 0)
    return onFold;
  std::vector<unsigned char> foldNode(size_t(outcome.rows) * outcome.cols, 0);
  for (int k = 0; k < outcome.folds.Count(); ++k)
    foldNode[size_t(outcome.folds[k])] = 1;
  const std::vector<double> along[2] = {ControlPointParameters(outcome.surface, 0),
                                        ControlPointParameters(outcome.surface, 1)};
  for (int i = 0; i < outcome.parameters.Count(); ++i) {
    const ON_2dPoint &st = outcome.parameters[i];
    if (std::isnan(st.x) || std::isnan(st.y))
      continue;
    const int col = Nearest(along[0], st.x);
    const int row = Nearest(along[1], st.y);
    onFold[size_t(i)] = foldNode[size_t(row) * outcome.cols + col];
  }
  return onFold;
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
  if (outcome.probeDiameter != 0.0)
    std::printf("probe      diameter %.6g, surface offset by %.6g\n", outcome.probeDiameter,
                -0.5 * outcome.probeDiameter);
  const ON_NurbsSurface &s = outcome.surface;
  std::printf("surface    degree %d x %d, %d x %d control points, domain [%.6g, %.6g] x "
              "[%.6g, %.6g]\n",
              s.Degree(0), s.Degree(1), s.CVCount(0), s.CVCount(1), s.Domain(0)[0], s.Domain(0)[1],
              s.Domain(1)[0], s.Domain(1)[1]);
  PrintDeviation(outcome);
  PrintFolds(outcome);
}

} // namespace pelmora::cli
