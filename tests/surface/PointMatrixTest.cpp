// Filling one hole from its nearest known neighbours, and building the point
// matrix: placement, holes, the interpolation sweep, the inputs it refuses.
#include "Matrices.h"
#include "support/PointCloudGenerator.h"

#include <cmath>
#include <set>

namespace {

constexpr double H = -1.0; // a hole: below the floor 0

ON_3dPointArray build(const ON_3dPointArray &cloud, int rows, int cols, int interpolate,
                      int showProgress = 0)
{
  ON_3dPointArray matrix;
  EXPECT_EQ(1, PMSurface::CreatePointMatrix(cloud, rows, cols, matrix, interpolate, showProgress));
  EXPECT_EQ(rows * cols, matrix.Count());
  return matrix;
}

// Over [0, 4] x [0, 2], lowest z 1; on a 3 x 5 grid (unit steps) the cells
// are 0, 6 (nearest node), 8 (2.5 rounds up), 13 (three points) and 14.
const ON_3dPointArray kCloud = Points({{0, 0, 1},
                                       {1.2, 0.9, 5},
                                       {2.5, 0.5, 3},
                                       {3.1, 1.9, 7},
                                       {2.8, 1.7, 9},
                                       {3.2, 2.0, 8},
                                       {4, 2, 2}});

} // namespace

TEST(InterpolatePoint, InverseDistanceMeanForAnySpacing)
{
  // Heights 1, 2, 3, 4 above, left, right and below a hole in the centre.
  auto cross = [](double step) { return Grid(3, 3, step, {0, 1, 0, 2, H, 3, 0, 4, 0}); };
  for (double step : {2.0, 1e-313}) { // denormal steps make 1 / d overflow
    ON_3dPointArray m = cross(step);
    MatrixAccess::InterpolatePoint(m, 3, 3, 4, 1, 1, 0.0);
    EXPECT_DOUBLE_EQ(2.5, m[4].z) << step;
  }
  // The right column moved onto the centre's: distance 0 takes all weight.
  ON_3dPointArray same = cross(1.0);
  for (int r = 0; r < 3; ++r)
    same[r * 3 + 2].x = 1.0;
  MatrixAccess::InterpolatePoint(same, 3, 3, 4, 1, 1, 0.0);
  EXPECT_DOUBLE_EQ(3.0, same[4].z);

  // Known cells at the floor count; the next row passes the hole at 9.
  ON_3dPointArray m = Grid(4, 4, 1.0, {0, 0, 0, 0, 0, H, 8, 0, 0, H, 0, 0, 0, 0, 0, 0});
  ON_3dPointArray expected = m;
  expected[5].z = 8.0 / 3.5;
  MatrixAccess::InterpolatePoint(m, 4, 4, 5, 1, 1, 0.0);
  ExpectSame(expected, m);
}

TEST(InterpolatePoint, OutsideThePreconditionUsesWhatExistsInsideTheArray)
{
  const ON_3dPointArray base = Grid(3, 3, 1.0, {H, 2, H, 4, H, H, H, H, H});
  const struct
  {
    const char *name;
    int rows, cols, index, row, col;
    int changed; // -1: nothing changes
    double z;
  } cases[] = {{"corner", 3, 3, 0, 0, 0, 0, 3.0},
               {"nothing known in its row and column", 3, 3, 8, 2, 2, -1, 0},
               {"more rows than the array", 10, 3, 7, 2, 1, 7, 2.0},
               {"index before the array", 3, 3, -1, 1, 1, -1, 0},
               {"index past the array", 3, 3, 9, 1, 1, -1, 0},
               {"no rows or columns", 0, 0, 4, 1, 1, -1, 0},
               {"negative columns", 3, -3, 4, 1, 1, -1, 0}};
  for (const auto &c : cases) {
    ON_3dPointArray m = base, expected = base;
    if (c.changed >= 0)
      expected[c.changed].z = c.z;
    MatrixAccess::InterpolatePoint(m, c.rows, c.cols, c.index, c.row, c.col, 0.0);
    SCOPED_TRACE(c.name);
    ExpectSame(expected, m);
  }
}

TEST(CreatePointMatrix, PointsGoToTheNearestNodeAndKeepTheHighestZ)
{
  const ON_3dPointArray matrix = build(kCloud, 3, 5, 0);
  // Holes at the lowest z.
  ExpectSame(Grid(3, 5, 1.0, {1, 1, 1, 1, 1, 1, 5, 1, 3, 1, 1, 1, 1, 9, 2}), matrix);

  // Reversed order, non-finite points first, old contents in the matrix, the
  // cloud itself as the matrix: the same result.
  ON_3dPointArray reversed = Points({{NAN, 1, 1}, {1, -INFINITY, 1}, {2, 1, INFINITY}});
  for (int i = kCloud.Count() - 1; i >= 0; --i)
    reversed.Append(kCloud[i]);
  ON_3dPointArray old = Points({{9, 9, 9}, {8, 8, 8}});
  EXPECT_EQ(1, PMSurface::CreatePointMatrix(reversed, 3, 5, old, 0, 0));
  ExpectSame(matrix, old);
  EXPECT_EQ(1, PMSurface::CreatePointMatrix(reversed, 3, 5, reversed, 0, 0));
  ExpectSame(matrix, reversed);
}

TEST(CreatePointMatrix, BorderHolesGoToTheFloorInteriorHolesAreInterpolated)
{
  // 5 x 5 unit grid, z = 10 + c + 2r; a border hole at (0, 2) and a run of
  // interior holes at row 2, columns 1 to 3 (non-finite points are skipped).
  auto z = [](int r, int c) { return 10.0 + c + 2.0 * r; };
  ON_3dPointArray cloud = Grid(5, 5, 1.0, z);
  for (int k : {2, 11, 12, 13})
    cloud[k].x = NAN;
  const ON_3dPointArray m = build(cloud, 5, 5, 1);
  EXPECT_EQ(10.0, m[2].z);
  const double third = 1.0 / 3.0;
  const double first = (z(2, 0) + third * z(2, 4) + z(1, 1) + z(3, 1)) / (1 + third + 1 + 1.0);
  const double second = (first + 0.5 * z(2, 4) + z(1, 2) + z(3, 2)) / (1 + 0.5 + 1 + 1.0);
  EXPECT_DOUBLE_EQ(first, m[11].z);
  EXPECT_DOUBLE_EQ(second, m[12].z);
  EXPECT_DOUBLE_EQ((second + z(2, 4) + z(1, 3) + z(3, 3)) / 4.0, m[13].z);
}

TEST(CreatePointMatrix, NarrowGridsHaveNoInteriorAndSingleLinesTakeEveryPoint)
{
  const ON_3dPointArray two = build(kCloud, 2, 5, 1);
  const double twoZ[10] = {1, 5, 1, 3, 1, 1, 1, 1, 9, 2};
  for (int k = 0; k < 10; ++k)
    EXPECT_EQ(twoZ[k], two[k].z) << k;
  ExpectSame(Grid(1, 5, 1.0, {1, 5, 1, 9, 2}), build(kCloud, 1, 5, 1)); // at the lowest y
  ExpectSame(Grid(3, 1, 1.0, {1, 5, 9}), build(kCloud, 3, 1, 0));       // at the lowest x
  ExpectSame(Points({{3, 4, 5}}), build(Points({{3, 4, 5}}), 1, 1, 1));
}

TEST(CreatePointMatrix, RefusesGridsItCannotLayAndKeepsTheMatrix)
{
  const ON_3dPointArray vertical = Points({{1, 0, 0}, {1, 5, 0}});
  const ON_3dPointArray horizontal = Points({{0, 2, 0}, {5, 2, 0}});
  const struct
  {
    const char *name;
    ON_3dPointArray cloud;
    int rows, cols;
  } cases[] = {{"no rows", kCloud, 0, 5},
               {"negative cols", kCloud, 3, -1},
               {"beyond int", kCloud, 50000, 50000},
               {"empty", {}, 2, 2},
               {"no finite point", Points({{NAN, 0, 0}, {0, INFINITY, 1}}), 1, 1},
               {"no x extent", vertical, 3, 3},
               {"no y extent", horizontal, 3, 3},
               {"x extent overflows", Points({{-1e308, 0, 0}, {1e308, 1, 0}}), 2, 2}};
  for (const auto &c : cases) {
    PMSurface::SetError(CString());
    ON_3dPointArray matrix = Points({{7, 7, 7}});
    EXPECT_EQ(0, PMSurface::CreatePointMatrix(c.cloud, c.rows, c.cols, matrix, 1, 1)) << c.name;
    EXPECT_FALSE(PMSurface::GetError().IsEmpty()) << c.name;
    ExpectSame(Points({{7, 7, 7}}), matrix);
  }
  // Along the missing extent a single line is still fine.
  EXPECT_EQ(5.0, build(vertical, 3, 1, 1)[2].y);
  EXPECT_EQ(5.0, build(horizontal, 1, 3, 1)[2].x);
}

// The sweep equals InterpolatePoint called on every hole in row-major order;
// known cells hold a cloud height, holes the floor or a mean of known heights.
TEST(CreatePointMatrix, SweepMatchesHoleByHoleInterpolationOnRandomClouds)
{
  pelmora::test::Random random(11);
  const double floorZ = -100.0;
  for (int trial = 0; trial < 60; ++trial) {
    pelmora::test::CloudSpec spec;
    spec.xmax = random.Uniform(1, 30);
    spec.ymax = random.Uniform(1, 30);
    spec.count = 30 + random.Below(400);
    spec.height = [](double x, double y) { return std::sin(0.3 * x) + 0.1 * y; };
    spec.noise = 0.05;
    spec.holes = {{random.Uniform(0, spec.xmax), random.Uniform(0, spec.ymax), 0.3 * spec.xmax}};
    spec.seed = static_cast<std::uint64_t>(trial);
    ON_3dPointArray cloud = pelmora::test::MakeCloud(spec);
    cloud.Append(ON_3dPoint(0, 0, floorZ)); // a unique floor, on a corner cell
    const int rows = 1 + random.Below(25), cols = 1 + random.Below(25);
    SCOPED_TRACE(testing::Message() << "trial " << trial);

    // Holes are the cells other than 0 left at the floor without interpolation.
    const ON_3dPointArray lowered = build(cloud, rows, cols, 0);
    auto hole = [&](int k) { return k > 0 && lowered[k].z == floorZ; };
    ON_3dPointArray expected = lowered;
    for (int k = 0; k < expected.Count(); ++k) {
      const int r = k / cols, c = k % cols;
      if (hole(k) && r > 0 && c > 0 && r < rows - 1 && c < cols - 1)
        expected[k].z = floorZ - 1.0;
    }
    for (int k = 0; k < expected.Count(); ++k)
      if (expected[k].z < floorZ)
        MatrixAccess::InterpolatePoint(expected, rows, cols, k, k / cols, k % cols, floorZ);
    const ON_3dPointArray result = build(cloud, rows, cols, 1, trial % 20 == 0);
    ExpectSame(expected, result);

    std::set<double> heights;
    for (int i = 0; i < cloud.Count(); ++i)
      heights.insert(cloud[i].z);
    for (int k = 0; k < result.Count(); ++k) {
      const double z = result[k].z;
      if (hole(k))
        ASSERT_TRUE(z >= floorZ - 1e-12 && z <= *heights.rbegin() + 1e-12) << "cell " << k;
      else
        ASSERT_EQ(1u, heights.count(z)) << "cell " << k;
    }
  }
}
