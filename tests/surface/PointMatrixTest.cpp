// Building the point matrix: placement, holes, interpolation sweep and the
// inputs it refuses.
#include "MatrixAccess.h"
#include "support/PointCloudGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

ON_3dPointArray cloudOf(std::initializer_list<ON_3dPoint> points)
{
  ON_3dPointArray cloud;
  for (const ON_3dPoint &p : points)
    cloud.Append(p);
  return cloud;
}

ON_3dPointArray build(const ON_3dPointArray &cloud, int rows, int cols, int interpolate,
                      int showProgress = 0)
{
  ON_3dPointArray matrix;
  EXPECT_EQ(1, PMSurface::CreatePointMatrix(cloud, rows, cols, matrix, interpolate, showProgress));
  EXPECT_EQ(rows * cols, matrix.Count());
  return matrix;
}

void expectIdentical(const ON_3dPointArray &a, const ON_3dPointArray &b)
{
  ASSERT_EQ(a.Count(), b.Count());
  for (int k = 0; k < a.Count(); ++k) {
    ASSERT_EQ(a[k].x, b[k].x) << k;
    ASSERT_EQ(a[k].y, b[k].y) << k;
    ASSERT_EQ(a[k].z, b[k].z) << k;
  }
}

// A 3 x 5 grid over [0, 4] x [0, 2] (unit steps), lowest z 1.
ON_3dPointArray placementCloud()
{
  return cloudOf({{0, 0, 1},     // corner, cell 0
                  {1.2, 0.9, 5}, // nearest node (1, 1): cell 6
                  {2.5, 0.5, 3}, // halfway: column 3, row 1, cell 8
                  {3.1, 1.9, 7}, // three points near node (3, 2): cell 13
                  {2.8, 1.7, 9}, //
                  {3.2, 2.0, 8}, //
                  {4, 2, 2}});   // largest x and y: cell 14
}

} // namespace

TEST(CreatePointMatrix, PointsGoToTheNearestNodeAndKeepTheHighestZ)
{
  const ON_3dPointArray matrix = build(placementCloud(), 3, 5, 0);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 5; ++c) {
      EXPECT_EQ(c, matrix[r * 5 + c].x);
      EXPECT_EQ(r, matrix[r * 5 + c].y);
    }
  const double expected[15] = {1, 1, 1, 1, 1, 1, 5, 1, 3, 1, 1, 1, 1, 9, 2};
  for (int k = 0; k < 15; ++k)
    EXPECT_EQ(expected[k], matrix[k].z) << k; // holes at exactly the lowest z

  // Reversed order, non-finite points first, old contents in the matrix,
  // the cloud itself as the matrix: the same result.
  ON_3dPointArray reversed = cloudOf({{NAN, 1, 1}, {1, -INFINITY, 1}, {2, 1, INFINITY}});
  const ON_3dPointArray cloud = placementCloud();
  for (int i = cloud.Count() - 1; i >= 0; --i)
    reversed.Append(cloud[i]);
  ON_3dPointArray old = cloudOf({{9, 9, 9}, {8, 8, 8}});
  EXPECT_EQ(1, PMSurface::CreatePointMatrix(reversed, 3, 5, old, 0, 0));
  expectIdentical(matrix, old);
  EXPECT_EQ(1, PMSurface::CreatePointMatrix(reversed, 3, 5, reversed, 0, 0));
  expectIdentical(matrix, reversed);
}

TEST(CreatePointMatrix, BorderHolesGoToTheFloorInteriorHolesAreInterpolated)
{
  // 5 x 5 unit grid, z = 10 + c + 2r; border hole (0, 2); a run of interior
  // holes at row 2, columns 1 to 3.
  ON_3dPointArray cloud;
  auto z = [](int r, int c) { return 10.0 + c + 2.0 * r; };
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 5; ++c)
      if (!(r == 0 && c == 2) && !(r == 2 && c >= 1 && c <= 3))
        cloud.Append(ON_3dPoint(c, r, z(r, c)));
  for (int showProgress = 0; showProgress <= 1; ++showProgress) {
    const ON_3dPointArray m = build(cloud, 5, 5, 1, showProgress);
    EXPECT_EQ(10.0, m[2].z);
    const double third = 1.0 / 3.0;
    const double first = (z(2, 0) + third * z(2, 4) + z(1, 1) + z(3, 1)) / (1 + third + 1 + 1.0);
    const double second = (first + 0.5 * z(2, 4) + z(1, 2) + z(3, 2)) / (1 + 0.5 + 1 + 1.0);
    const double third_ = (second + z(2, 4) + z(1, 3) + z(3, 3)) / (1 + 1 + 1 + 1.0);
    EXPECT_DOUBLE_EQ(first, m[11].z);
    EXPECT_DOUBLE_EQ(second, m[12].z);
    EXPECT_DOUBLE_EQ(third_, m[13].z);
  }

  // Without interpolation every hole is at the floor.
  const ON_3dPointArray lowered = build(cloud, 5, 5, 0);
  for (int k : {2, 11, 12, 13})
    EXPECT_EQ(10.0, lowered[k].z);
}

TEST(CreatePointMatrix, NarrowGridsOnlyRaiseHolesAndSingleLinesTakeEveryPoint)
{
  const ON_3dPointArray cloud = placementCloud();
  // Two rows: every cell is on the border.
  const ON_3dPointArray two = build(cloud, 2, 5, 1);
  for (int k = 0; k < two.Count(); ++k)
    EXPECT_GE(two[k].z, 1.0);
  EXPECT_EQ(1.0, two[2].z);

  // One row at the lowest y: every point lands in it.
  const ON_3dPointArray row = build(cloud, 1, 5, 1);
  const double rowZ[5] = {1, 5, 1, 9, 2};
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(0.0, row[c].y);
    EXPECT_EQ(rowZ[c], row[c].z) << c;
  }
  // One column at the lowest x; a single cell for a single point.
  const ON_3dPointArray column = build(cloud, 3, 1, 0);
  EXPECT_EQ(0.0, column[1].x);
  EXPECT_EQ(9.0, column[2].z);
  const ON_3dPointArray one = build(cloudOf({{3, 4, 5}}), 1, 1, 1);
  EXPECT_EQ(ON_3dPoint(3, 4, 5), one[0]);
}

TEST(CreatePointMatrix, RefusesGridsItCannotLayAndKeepsTheMatrix)
{
  const ON_3dPointArray good = placementCloud();
  const ON_3dPointArray empty;
  const ON_3dPointArray nonFinite = cloudOf({{NAN, 0, 0}, {0, INFINITY, 1}});
  const ON_3dPointArray vertical = cloudOf({{1, 0, 0}, {1, 5, 0}});
  const ON_3dPointArray horizontal = cloudOf({{0, 2, 0}, {5, 2, 0}});
  const ON_3dPointArray vast = cloudOf({{-1e308, 0, 0}, {1e308, 1, 0}});
  const struct
  {
    const char *name;
    const ON_3dPointArray &cloud;
    int rows, cols;
  } cases[] = {{"no rows", good, 0, 5},
               {"negative cols", good, 3, -1},
               {"beyond int", good, 50000, 50000},
               {"empty", empty, 2, 2},
               {"no finite point", nonFinite, 1, 1},
               {"no x extent", vertical, 3, 3},
               {"no y extent", horizontal, 3, 3},
               {"x extent overflows", vast, 2, 2}};
  for (const auto &c : cases) {
    PMSurface::SetError(CString());
    ON_3dPointArray matrix = cloudOf({{7, 7, 7}});
    EXPECT_EQ(0, PMSurface::CreatePointMatrix(c.cloud, c.rows, c.cols, matrix, 1, 1)) << c.name;
    EXPECT_FALSE(PMSurface::GetError().IsEmpty()) << c.name;
    ASSERT_EQ(1, matrix.Count()) << c.name;
    EXPECT_EQ(7.0, matrix[0].z) << c.name;
  }
  // Along the missing extent a single line is still fine.
  EXPECT_EQ(5.0, build(vertical, 3, 1, 1)[2].y);
  EXPECT_EQ(5.0, build(horizontal, 1, 3, 1)[2].x);
}

// The sweep equals InterpolatePoint called on every hole in row-major order,
// and every height is a cloud height, the floor or a mean of known heights.
TEST(CreatePointMatrix, SweepMatchesHoleByHoleInterpolationOnRandomClouds)
{
  pelmora::test::Random random(11);
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
    cloud.Append(ON_3dPoint(0, 0, -100)); // a unique floor, on a corner cell
    const int rows = 1 + random.Below(25);
    const int cols = 1 + random.Below(25);

    const ON_3dPointArray result = build(cloud, rows, cols, 1, trial % 20 == 0);
    // Holes are the cells lowered to the floor without interpolation.
    ON_3dPointArray expected = build(cloud, rows, cols, 0);
    const double floorZ = -100.0;
    for (int k = 1; k < expected.Count(); ++k)
      if (expected[k].z == floorZ)
        expected[k].z = floorZ - 1.0;
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) {
        double &z = expected[r * cols + c].z;
        if ((r == 0 || c == 0 || r == rows - 1 || c == cols - 1) && z < floorZ)
          z = floorZ;
      }
    for (int k = 0; k < expected.Count(); ++k)
      if (expected[k].z < floorZ)
        MatrixAccess::InterpolatePoint(expected, rows, cols, k, k / cols, k % cols, floorZ);
    expectIdentical(expected, result);

    std::vector<double> heights;
    for (int i = 0; i < cloud.Count(); ++i)
      heights.push_back(cloud[i].z);
    const double top = *std::max_element(heights.begin(), heights.end());
    for (int k = 0; k < result.Count(); ++k) {
      const double z = result[k].z;
      const bool cloudHeight = std::find(heights.begin(), heights.end(), z) != heights.end();
      ASSERT_TRUE(cloudHeight || (z >= floorZ - 1e-12 && z <= top + 1e-12)) << trial << " " << k;
    }
  }
}
