// Grid suggestions: the worked examples and the degenerate clouds.
#include "Matrices.h"
#include "support/PointCloudGenerator.h"

#include <cmath>
#include <utility>

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
    std::pair<int, int> suggested;
  } cases[] = {{100, 20, 10, {7, 14}}, {1000, 5, 5, {31, 31}}, {10, 1, 4, {6, 1}}};
  for (const auto &c : cases) {
    pelmora::test::CloudSpec spec;
    spec.xmax = c.width;
    spec.ymax = c.height;
    spec.count = c.count;
    spec.corners = true;
    spec.height = [](double x, double y) { return 100.0 * x * y; };
    const ON_3dPointArray cloud = pelmora::test::MakeCloud(spec);
    EXPECT_EQ(c.suggested, analyze(cloud)) << c.count;
    EXPECT_EQ(c.suggested, analyze(cloud, ON_3dVector(1, 2, 3))) << c.count;
    ON_3dPointArray poisoned = Points({{NAN, NAN, NAN}}); // must not seed the box
    poisoned.Append(cloud.Count(), cloud.Array());
    poisoned.Append(ON_3dPoint(1e6, -INFINITY, 0));
    EXPECT_EQ(c.suggested, analyze(poisoned)) << c.count;
  }
}

TEST(AnalyzePoints, DegenerateCloudsGetAtLeastOneCellAndNeverMoreCellsThanPoints)
{
  auto zero = [](int, int) { return 0.0; };
  ON_3dPointArray flat, tall, huge;
  for (int i = 0; i < 20; ++i) {
    flat.Append(ON_3dPoint(i, 1e-8 * i, 0)); // ratio 1e8
    tall.Append(ON_3dPoint(1e-300 * i, i, 0));
    huge.Append(ON_3dPoint(i % 2 ? 1.5e308 : -1.5e308, i % 3 ? 1e308 : -1e308, 0));
  }
  const struct
  {
    const char *name;
    ON_3dPointArray points;
    std::pair<int, int> suggested;
  } cases[] = {{"empty", {}, {1, 1}},
               {"single", Points({{4, 5, 6}}), {1, 1}},
               {"stacked", Points({{4, 5, 6}, {4, 5, 9}}), {1, 1}},
               {"no finite", Points({{NAN, 0, 0}, {1, INFINITY, 0}}), {1, 1}},
               {"along y", Grid(5, 1, 1.0, zero), {5, 1}},
               {"along x", Grid(1, 5, 1.0, zero), {1, 5}},
               {"nearly flat", flat, {1, 20}},
               {"nearly upright", tall, {20, 1}},
               {"extent overflows", huge, {3, 4}}};
  for (const auto &c : cases)
    EXPECT_EQ(c.suggested, analyze(c.points)) << c.name;
}
