// Building the point matrix: placement, holes, the interpolation sweep and
// the inputs it refuses.
#include "Matrices.h"
#include "support/PointCloudGenerator.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

ON_3dPointArray build(const ON_3dPointArray &cloud, int rows, int cols, int interpolate,
                      int showProgress = 0)
{
  ON_3dPointArray matrix;
  EXPECT_EQ(1, PMSurface::CreatePointMatrix(cloud, rows, cols, matrix, interpolate, showProgress));
  EXPECT_EQ(rows * cols, matrix.Count());
  return matrix;
}

void expectHeights(std::initializer_list<double> z, const ON_3dPointArray &matrix)
{
  ASSERT_EQ(static_cast<int>(z.size()), matrix.Count());
  for (int k = 0; k < matrix.Count(); ++k)
    EXPECT_EQ(z.begin()[k], matrix[k].z) << "cell " << k;
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

TEST(CreatePointMatrix, PointsGoToTheNearestNodeAndKeepTheHighestZ)
{
  const ON_3dPointArray matrix = build(kCloud, 3, 5, 0);
  const double z[15] = {1, 1, 1, 1, 1, 1, 5, 1, 3, 1, 1, 1, 1, 9, 2}; // holes at the lowest z
  ExpectSame(Grid(3, 5, 1.0, [&](int r, int c) { return z[r * 5 + c]; }), matrix);

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
  // interior holes at row 2, columns 1 to 3.
  auto z = [](int r, int c) { return 10.0 + c + 2.0 * r; };
  ON_3dPointArray cloud;
  const ON_3dPointArray full = Grid(5, 5, 1.0, z);
  for (int k = 0; k < full.Count(); ++k)
    if (k != 2 && !(k >= 11 && k <= 13))
      cloud.Append(full[k]);
  const ON_3dPointArray m = build(cloud, 5, 5, 1);
  EXPECT_EQ(10.0, m[2].z);
  const double third = 1.0 / 3.0;
  const double first = (z(2, 0) + third * z(2, 4) + z(1, 1) + z(3, 1)) / (1 + third + 1 + 1.0);
  const double second = (first + 0.5 * z(2, 4) + z(1, 2) + z(3, 2)) / (1 + 0.5 + 1 + 1.0);
  EXPECT_DOUBLE_EQ(first, m[11].z);
  EXPECT_DOUBLE_EQ(second, m[12].z);
  EXPECT_DOUBLE_EQ((second + z(2, 4) + z(1, 3) + z(3, 3)) / 4.0, m[13].z);

  const ON_3dPointArray lowered = build(cloud, 5, 5, 0);
  for (int k : {2, 11, 12, 13})
    EXPECT_EQ(10.0, lowered[k].z);
}

TEST(CreatePointMatrix, NarrowGridsHaveNoInteriorAndSingleLinesTakeEveryPoint)
{
  expectHeights({1, 5, 1, 3, 1, 1, 1, 1, 9, 2}, build(kCloud, 2, 5, 1));
  expectHeights({1, 5, 1, 9, 2}, build(kCloud, 1, 5, 1)); // at the lowest y
  const ON_3dPointArray column = build(kCloud, 3, 1, 0);  // at the lowest x
  ExpectSame(Points({{0, 0, 1}, {0, 1, 5}, {0, 2, 9}}), column);
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

// The sweep equals InterpolatePoint called on every hole in row-major order,
// and every height is a cloud height, the floor or a mean of known heights.
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
    const int rows = 1 + random.Below(25);
    const int cols = 1 + random.Below(25);
    SCOPED_TRACE(testing::Message() << "trial " << trial);

    // Holes are the cells other than 0 lowered to the floor without
    // interpolation: border ones stay there, interior ones are filled.
    ON_3dPointArray expected = build(cloud, rows, cols, 0);
    for (int k = 1; k < expected.Count(); ++k) {
      const int r = k / cols, c = k % cols;
      if (expected[k].z == floorZ && r > 0 && c > 0 && r < rows - 1 && c < cols - 1)
        expected[k].z = floorZ - 1.0;
    }
    for (int k = 0; k < expected.Count(); ++k)
      if (expected[k].z < floorZ)
        MatrixAccess::InterpolatePoint(expected, rows, cols, k, k / cols, k % cols, floorZ);
    const ON_3dPointArray result = build(cloud, rows, cols, 1, trial % 20 == 0);
    ExpectSame(expected, result);

    std::vector<double> heights(cloud.Count());
    for (int i = 0; i < cloud.Count(); ++i)
      heights[i] = cloud[i].z;
    const double top = *std::max_element(heights.begin(), heights.end());
    for (int k = 0; k < result.Count(); ++k) {
      const double z = result[k].z;
      const bool cloudHeight = std::find(heights.begin(), heights.end(), z) != heights.end();
      ASSERT_TRUE(cloudHeight || (z >= floorZ - 1e-12 && z <= top + 1e-12)) << "cell " << k;
    }
  }
}
