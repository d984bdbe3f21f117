// The fitted grid suggestion and the coverage counts it rests on, on clouds
// recorded along scan lines.
#include "Matrices.h"
#include "support/ScanLineCloud.h"

#include <cmath>
#include <utility>

namespace {

using pelmora::test::ScanSpec;

const ON_3dVector kDown(0, 0, -1);

std::pair<int, int> fitted(const ON_3dPointArray &points, const ON_3dVector &direction = kDown)
{
  int rows = -7, cols = -7;
  PMSurface::SuggestFittedGrid(points, direction, rows, cols);
  return {rows, cols};
}

double filledShare(const ON_3dPointArray &points, std::pair<int, int> grid)
{
  PMGridCoverage coverage;
  EXPECT_EQ(1, PMSurface::MeasureGridCoverage(points, kDown, grid.first, grid.second, coverage));
  return double(coverage.filled) / (coverage.filled + coverage.enclosedHoles);
}

// A 100 x 60 field scanned in lines 2 apart, points 0.25 apart along them.
ScanSpec field()
{
  ScanSpec spec;
  spec.xmax = 100.0;
  spec.ymax = 60.0;
  spec.lineSpacing = 2.0;
  spec.pointSpacing = 0.25;
  spec.height = [](double x, double y) { return 3.0 * std::sin(x / 15.0) + 0.05 * y; };
  spec.noise = 0.01;
  return spec;
}

// A gabled roof with an L-shaped outline (one corner of the rectangle not
// built) and a skylight left unscanned.
ScanSpec roof()
{
  ScanSpec spec = field();
  spec.height = [](double, double y) { return 8.0 - 0.3 * std::fabs(y - 30.0); };
  spec.inside = [](double x, double y) { return !(x > 60.0 && y > 35.0); };
  spec.holes = {{30.0, 20.0, 4.0}};
  return spec;
}

} // namespace

TEST(SuggestFittedGrid, ScanLinesGetTheFinestGridWhoseNodesInsideTheOutlineAreNearlyAllFilled)
{
  const struct
  {
    const char *name;
    ScanSpec spec;
  } cases[] = {{"field", field()}, {"roof", roof()}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const ON_3dPointArray cloud = pelmora::test::MakeScanLines(c.spec);
    const std::pair<int, int> grid = fitted(cloud);
    // About one row per scan line (31 of them; one row in twenty may stay
    // empty), cells about square.
    EXPECT_LE(grid.first, 33);
    EXPECT_GE(grid.first, 24);
    EXPECT_NEAR(double(grid.second - 1) / (grid.first - 1), 100.0 / 60.0, 0.15);
    EXPECT_GE(filledShare(cloud, grid), 0.95);
    // A tenth finer does not fit any more.
    const std::pair<int, int> finer{int(grid.first * 1.1) + 1, int(grid.second * 1.1) + 1};
    EXPECT_LT(filledShare(cloud, finer), 0.95);
    // The even suggestion leaves most rows between the lines empty.
    int rows = 0, cols = 0;
    PMSurface::AnalyzePoints(cloud, kDown, rows, cols);
    EXPECT_LT(filledShare(cloud, {rows, cols}), 0.6);
  }
}

TEST(SuggestFittedGrid, IsTakenAlongTheDrapeDirection)
{
  // Seen along (1, 0, 0) the cloud aligns to (-y, z, -x): build the cloud
  // whose aligned copy is the field.
  const ON_3dPointArray field = pelmora::test::MakeScanLines(::field());
  ON_3dPointArray sideways;
  for (int i = 0; i < field.Count(); ++i)
    sideways.Append(ON_3dPoint(-field[i].z, -field[i].x, field[i].y));
  EXPECT_EQ(fitted(field), fitted(sideways, ON_3dVector(2, 0, 0)));
  EXPECT_NE(fitted(field), fitted(sideways)); // seen from above it is another cloud
}

TEST(SuggestFittedGrid, EvenGridsAndCloudsWithoutAreaKeepTheEvenSuggestion)
{
  // Points exactly on a 40 x 60 grid: the fit is that grid, give or take a
  // node of rounding.
  const std::pair<int, int> grid =
      fitted(pelmora::test::MakeGridCloud(40, 60, 0.0, 59.0, 0.0, 39.0));
  EXPECT_NEAR(grid.first, 40, 1);
  EXPECT_NEAR(grid.second, 60, 1);

  ON_3dPointArray line;
  for (int i = 0; i < 10; ++i)
    line.Append(ON_3dPoint(i, 2.0, i * i));
  for (const ON_3dPointArray &points : {ON_3dPointArray(), Points({{1, 2, 3}}), line}) {
    int rows = 0, cols = 0;
    PMSurface::AnalyzePoints(points, kDown, rows, cols);
    EXPECT_EQ(std::make_pair(rows, cols), fitted(points)) << points.Count() << " points";
  }
}

TEST(MeasureGridCoverage, CountsFilledNodesHolesInsideTheOutlineAndHolesOnTheBorder)
{
  auto nodes = [](std::initializer_list<ON_3dPoint> filled) { return Points(filled); };
  const struct
  {
    const char *name;
    ON_3dPointArray points;
    PMGridCoverage expected; // nodes, filled, enclosed, border
  } cases[] = {
      // 3 x 3 over the unit square, each point on a node.
      {"centre missing",
       nodes({{0, 0, 0},
              {.5, 0, 0},
              {1, 0, 0},
              {0, .5, 0},
              {1, .5, 0},
              {0, 1, 0},
              {.5, 1, 0},
              {1, 1, 0}}),
       {9, 8, 1, 0}},
      {"middle row missing",
       nodes({{0, 0, 0}, {.5, 0, 0}, {1, 0, 0}, {0, 1, 0}, {.5, 1, 0}, {1, 1, 0}}),
       {9, 6, 3, 2}},
      {"one corner only filled", nodes({{0, 0, 0}, {1, 1, 5}, {0.9, 0.9, 1}}), {9, 2, 0, 6}},
  };
  for (const auto &c : cases) {
    PMGridCoverage coverage;
    ASSERT_EQ(1, PMSurface::MeasureGridCoverage(c.points, kDown, 3, 3, coverage)) << c.name;
    EXPECT_EQ(c.expected.nodes, coverage.nodes) << c.name;
    EXPECT_EQ(c.expected.filled, coverage.filled) << c.name;
    EXPECT_EQ(c.expected.enclosedHoles, coverage.enclosedHoles) << c.name;
    EXPECT_EQ(c.expected.borderHoles, coverage.borderHoles) << c.name;
  }
}

TEST(MeasureGridCoverage, RefusesGridsThatCannotBeLaidAndLeavesTheCountsAlone)
{
  const ON_3dPointArray flat = Points({{0, 0, 0}, {0, 1, 0}});
  const struct
  {
    ON_3dPointArray points;
    int rows, cols;
  } cases[] = {
      {flat, 0, 3}, {flat, 3, -1}, {flat, 3, 3}, {ON_3dPointArray(), 3, 3}, {flat, 70000, 70000}};
  for (const auto &c : cases) {
    PMGridCoverage coverage;
    coverage.nodes = -5;
    EXPECT_EQ(0, PMSurface::MeasureGridCoverage(c.points, kDown, c.rows, c.cols, coverage));
    EXPECT_EQ(-5, coverage.nodes);
    EXPECT_FALSE(PMSurface::GetError().IsEmpty());
  }
}
