// Where the probe compensation folds a surface over itself: exactly where
// the surface bends away from the probe more tightly than its radius.
#include "Matrices.h"
#include "support/ScanLineCloud.h"
#include "surface/DrapePipeline.h"

#include <cmath>
#include <set>

namespace {

// Control points on z = -a x^2 / 2 (a ridge along y for a > 0, a trough for
// a < 0), x from -5 to 5 in steps of 0.25, y from 0 to 2. A quadratic
// B-spline through such points is the same parabola moved up or down, so
// its curvature at column i is a / (1 + a^2 x_i^2)^1.5.
constexpr int kCols = 41, kRows = 9;
double columnX(int i)
{
  return -5.0 + 0.25 * i;
}

ON_NurbsSurface parabolicSurface(double a)
{
  ON_3dPointArray matrix;
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c)
      matrix.Append(ON_3dPoint(columnX(c), 0.25 * r, -0.5 * a * columnX(c) * columnX(c)));
  ON_NurbsSurface surface;
  EXPECT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(surface, matrix, kRows, kCols, 0));
  return surface;
}

std::set<int> foldedColumns(const ON_SimpleArray<int> &folds)
{
  std::set<int> columns;
  for (int k = 0; k < folds.Count(); ++k)
    columns.insert(folds[k] % kCols);
  return columns;
}

} // namespace

TEST(FindProbeFolds, MarksExactlyTheNodesWhereTheSurfaceBendsAwayTighterThanTheRadius)
{
  const struct
  {
    const char *name;
    double a, diameter;
  } cases[] = {
      {"ridge tighter than the probe", 0.5, 8.0},    // radius 2 at the top, probe radius 4
      {"ridge wider than the probe", 0.5, 3.0},      // probe radius 1.5 < 2
      {"trough, probe on its open side", -0.5, 8.0}, // bends toward the probe: never folds
      {"trough, compensated the other way", -0.5, -8.0}, {"no probe", 0.5, 0.0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const ON_NurbsSurface surface = parabolicSurface(c.a);
    ON_SimpleArray<int> folds;
    folds.Append(-1); // replaced
    ASSERT_EQ(1, PMSurface::FindProbeFolds(surface, c.diameter, folds));
    // The offset moves by d = -diameter / 2; a curvature k bending away
    // from the normal folds it where 1 + d k <= 0.
    const double d = -0.5 * c.diameter;
    const std::set<int> columns = foldedColumns(folds);
    for (int i = 2; i < kCols - 2; ++i) { // the clamped ends are not a parabola
      const double x = columnX(i);
      const double bendAway = c.a / std::pow(1.0 + c.a * c.a * x * x, 1.5);
      const double factor = 1.0 + d * bendAway;
      if (std::fabs(factor) < 0.02)
        continue; // on the edge of the fold: rounding decides
      EXPECT_EQ(factor < 0.0, columns.count(i) == 1) << "column " << i << " x " << x;
    }
    // A fold runs along the whole ridge: every row of a folded column.
    EXPECT_EQ(int(columns.size()) * kRows, folds.Count());
  }
}

TEST(FindProbeFolds, RefusesAnInvalidSurface)
{
  ON_SimpleArray<int> folds;
  EXPECT_EQ(0, PMSurface::FindProbeFolds(ON_NurbsSurface(), 2.0, folds));
  EXPECT_EQ(L"Invalid Nurbs Surface", PMSurface::GetError());
}

TEST(DrapeFolds, ACylinderTighterThanTheProbeFoldsABowlProbedFromBelowDoesNot)
{
  // Probe centres on a cylinder of radius 3 along x, scanned from above
  // with a probe of radius 4: the compensation cannot follow it anywhere.
  pelmora::test::ScanSpec cylinder;
  cylinder.xmax = 20.0;
  cylinder.ymin = -2.5;
  cylinder.ymax = 2.5;
  cylinder.lineSpacing = 0.2;
  cylinder.pointSpacing = 0.1;
  cylinder.height = [](double, double y) { return std::sqrt(9.0 - y * y); };
  // A bowl of radius 30 seen from below: probe centres 4 below its outside.
  // (Where several points share a node on a slope, the highest one wins and
  // the surface ripples; ripples tighter than the probe fold too.)
  pelmora::test::ScanSpec bowl;
  bowl.xmin = bowl.ymin = -15.0;
  bowl.xmax = bowl.ymax = 15.0;
  bowl.lineSpacing = 0.5;
  bowl.pointSpacing = 0.5;
  bowl.jitter = 0.0; // a point on every node: no ripple from the gridding
  bowl.height = [](double x, double y) { return 30.0 - std::sqrt(34.0 * 34.0 - x * x - y * y); };
  const struct
  {
    const char *name;
    ON_3dPointArray cloud;
    ON_3dVector direction;
    int rows, cols; // one row per scan line, square cells
    bool folds;
  } cases[] = {{"cylinder", pelmora::test::MakeScanLines(cylinder), {0, 0, -1}, 26, 101, true},
               {"bowl", pelmora::test::MakeScanLines(bowl), {0, 0, 1}, 61, 61, false}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    pelmora::DrapeFrame frame(c.cloud, c.direction, 0);
    pelmora::DrapeSettings settings;
    settings.rows = c.rows;
    settings.cols = c.cols;
    settings.probeDiameter = 8.0;
    settings.interpolate = 1;
    ON_3dPointArray matrix;
    ON_NurbsSurface surface;
    ON_SimpleArray<int> folds;
    ASSERT_EQ(1, frame.Drape(settings, matrix, surface, &folds));
    // Nodes away from the border (where the fitted surface flattens out).
    int inner = 0, innerFolded = 0;
    std::set<int> folded(folds.Array(), folds.Array() + folds.Count());
    for (int r = 2; r < settings.rows - 2; ++r)
      for (int col = 2; col < settings.cols - 2; ++col) {
        ++inner;
        innerFolded += int(folded.count(r * settings.cols + col));
      }
    if (c.folds)
      EXPECT_GT(innerFolded, 0.9 * inner);
    else
      EXPECT_EQ(0, folds.Count());
  }
}
