// Grid suggestions: the worked examples and the degenerate clouds.
#include "PMSurface.h"
#include "support/PointCloudGenerator.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::pair<int, int> analyze(const ON_3dPointArray &points, ON_3dVector direction = {0, 0, -1})
{
  int rows = -7, cols = -7;
  PMSurface::AnalyzePoints(points, direction, rows, cols);
  return {rows, cols};
}

} // namespace

TEST(AnalyzePoints, WorkedExamplesWhateverTheDirectionHeightsAndNonFinitePoints)
{
  const struct
  {
    int count;
    double width, height;
    int rows, cols;
  } cases[] = {{100, 20, 10, 7, 14}, {1000, 5, 5, 31, 31}, {10, 1, 4, 6, 1}};
  for (const auto &c : cases) {
    pelmora::test::CloudSpec spec;
    spec.xmax = c.width;
    spec.ymax = c.height;
    spec.count = c.count;
    spec.corners = true;
    spec.height = [](double x, double y) { return 100.0 * x * y; };
    const ON_3dPointArray cloud = pelmora::test::MakeCloud(spec);
    EXPECT_EQ(std::make_pair(c.rows, c.cols), analyze(cloud)) << c.count;
    EXPECT_EQ(std::make_pair(c.rows, c.cols), analyze(cloud, ON_3dVector(1, 2, 3))) << c.count;

    ON_3dPointArray poisoned; // a NaN first point must not seed the box
    poisoned.Append(ON_3dPoint(NAN, NAN, NAN));
    for (int i = 0; i < cloud.Count(); ++i)
      poisoned.Append(cloud[i]);
    poisoned.Append(ON_3dPoint(1e6, -INFINITY, 0));
    EXPECT_EQ(std::make_pair(c.rows, c.cols), analyze(poisoned)) << c.count;
  }
}

TEST(AnalyzePoints, DegenerateCloudsGetAtLeastOneCellAndNeverMoreCellsThanPoints)
{
  ON_3dPointArray empty, single, stacked, alongY, alongX, noFinite, flat, tall, huge;
  single.Append(ON_3dPoint(4, 5, 6));
  stacked = single;
  stacked.Append(ON_3dPoint(4, 5, 9));
  noFinite.Append(ON_3dPoint(NAN, 0, 0));
  noFinite.Append(ON_3dPoint(1, INFINITY, 0));
  for (int i = 0; i < 5; ++i) {
    alongY.Append(ON_3dPoint(1, i, 0));
    alongX.Append(ON_3dPoint(i, 1, 0));
  }
  for (int i = 0; i < 20; ++i) {
    flat.Append(ON_3dPoint(i, 1e-8 * i, 0)); // ratio 1e8
    tall.Append(ON_3dPoint(1e-300 * i, i, 0));
    huge.Append(ON_3dPoint(i % 2 ? 1.5e308 : -1.5e308, i % 3 ? 1e308 : -1e308, 0));
  }
  const struct
  {
    const char *name;
    const ON_3dPointArray &points;
    int rows, cols;
  } cases[] = {{"empty", empty, 1, 1},          {"single", single, 1, 1},
               {"stacked", stacked, 1, 1},      {"along y", alongY, 5, 1},
               {"along x", alongX, 1, 5},       {"no finite", noFinite, 1, 1},
               {"nearly flat", flat, 1, 20},    {"nearly upright", tall, 20, 1},
               {"extent overflows", huge, 3, 4}};
  for (const auto &c : cases)
    EXPECT_EQ(std::make_pair(c.rows, c.cols), analyze(c.points)) << c.name;
}
