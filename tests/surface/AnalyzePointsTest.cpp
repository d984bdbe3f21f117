// Grid suggestions: the worked examples and the degenerate clouds.
#include "PMSurface.h"
#include "support/PointCloudGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using pelmora::test::CloudSpec;
using pelmora::test::MakeCloud;

struct Suggestion
{
  int rows = -7;
  int cols = -7;
};

Suggestion analyze(const ON_3dPointArray &points, ON_3dVector direction = {0, 0, -1})
{
  Suggestion s;
  PMSurface::AnalyzePoints(points, direction, s.rows, s.cols);
  return s;
}

ON_3dPointArray spread(int count, double width, double height, std::uint64_t seed = 3)
{
  CloudSpec spec;
  spec.xmax = width;
  spec.ymax = height;
  spec.count = count;
  spec.corners = true;
  spec.seed = seed;
  return MakeCloud(spec);
}

} // namespace

TEST(AnalyzePoints, WorkedExamples)
{
  const struct
  {
    int count;
    double width, height;
    int rows, cols;
  } cases[] = {{100, 20, 10, 7, 14}, {1000, 5, 5, 31, 31}, {10, 1, 4, 6, 1}};
  for (const auto &c : cases) {
    const Suggestion s = analyze(spread(c.count, c.width, c.height));
    EXPECT_EQ(c.rows, s.rows) << c.count;
    EXPECT_EQ(c.cols, s.cols) << c.count;
  }
}

TEST(AnalyzePoints, DirectionAndHeightsPlayNoPart)
{
  ON_3dPointArray points = spread(100, 20, 10);
  const Suggestion down = analyze(points);
  const Suggestion sideways = analyze(points, ON_3dVector(1, 2, 3));
  for (int i = 0; i < points.Count(); ++i)
    points[i].z = 1000.0 * i;
  const Suggestion lifted = analyze(points, ON_3dVector(0, 0, 0));
  EXPECT_EQ(7, sideways.rows);
  EXPECT_EQ(14, sideways.cols);
  EXPECT_EQ(down.rows, lifted.rows);
  EXPECT_EQ(down.cols, lifted.cols);
}

TEST(AnalyzePoints, DegenerateCloudsGetAtLeastOneCellAndNeverMoreCellsThanPoints)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ON_3dPointArray empty;
  ON_3dPointArray single;
  single.Append(ON_3dPoint(4, 5, 6));
  ON_3dPointArray stacked = single;
  stacked.Append(ON_3dPoint(4, 5, 9));
  ON_3dPointArray alongY; // no extent in x
  ON_3dPointArray alongX; // no extent in y
  for (int i = 0; i < 5; ++i) {
    alongY.Append(ON_3dPoint(1, i, 0));
    alongX.Append(ON_3dPoint(i, 1, 0));
  }
  ON_3dPointArray onlyNaN;
  onlyNaN.Append(ON_3dPoint(nan, 0, 0));
  onlyNaN.Append(ON_3dPoint(1, INFINITY, 0));

  const struct
  {
    const char *name;
    const ON_3dPointArray &points;
    int rows, cols;
  } cases[] = {{"empty", empty, 1, 1},    {"single", single, 1, 1},  {"stacked", stacked, 1, 1},
               {"along y", alongY, 5, 1}, {"along x", alongX, 1, 5}, {"no finite", onlyNaN, 1, 1}};
  for (const auto &c : cases) {
    const Suggestion s = analyze(c.points);
    EXPECT_EQ(c.rows, s.rows) << c.name;
    EXPECT_EQ(c.cols, s.cols) << c.name;
  }

  // Nearly flat and nearly vertical bands, and extents near the double limit.
  ON_3dPointArray flat;
  ON_3dPointArray tall;
  ON_3dPointArray huge;
  for (int i = 0; i < 20; ++i) {
    flat.Append(ON_3dPoint(i, 1e-8 * i, 0));
    tall.Append(ON_3dPoint(1e-300 * i, i, 0));
    huge.Append(ON_3dPoint(i % 2 ? 1.5e308 : -1.5e308, i % 3 ? 1e308 : -1e308, 0));
  }
  for (const ON_3dPointArray *points : {&flat, &tall, &huge}) {
    const Suggestion s = analyze(*points);
    EXPECT_GE(s.rows, 1);
    EXPECT_GE(s.cols, 1);
    EXPECT_LE(static_cast<long long>(s.rows) * s.cols, 20);
  }
  EXPECT_EQ(1, analyze(flat).rows);
  EXPECT_EQ(20, analyze(flat).cols);
  EXPECT_EQ(1, analyze(tall).cols);
}

TEST(AnalyzePoints, NonFinitePointsAreIgnored)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ON_3dPointArray points;
  points.Append(ON_3dPoint(nan, nan, nan)); // first: must not seed the box
  const ON_3dPointArray cloud = spread(100, 20, 10);
  for (int i = 0; i < cloud.Count(); ++i)
    points.Append(cloud[i]);
  points.Append(ON_3dPoint(1e6, -INFINITY, 0));
  const Suggestion s = analyze(points);
  EXPECT_EQ(7, s.rows);
  EXPECT_EQ(14, s.cols);
}
