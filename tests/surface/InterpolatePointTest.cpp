// Filling one hole from its nearest known neighbours.
#include "Matrices.h"

namespace {

constexpr double kHole = -1.0; // below the floor 0

// 3 x 3 with the given step: heights 1, 2, 3, 4 on the edge midpoints
// (previous row, left, right, next row) around a hole in the centre.
ON_3dPointArray cross(double step)
{
  ON_3dPointArray m = Grid(3, 3, step, 0.0);
  m[1].z = 1.0;
  m[3].z = 2.0;
  m[5].z = 3.0;
  m[7].z = 4.0;
  m[4].z = kHole;
  return m;
}

} // namespace

TEST(InterpolatePoint, InverseDistanceMeanForAnySpacing)
{
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
  ON_3dPointArray m = Grid(4, 4, 1.0, 0.0);
  m[5].z = m[9].z = kHole;
  m[6].z = 8.0;
  ON_3dPointArray expected = m;
  expected[5].z = 8.0 / 3.5;
  MatrixAccess::InterpolatePoint(m, 4, 4, 5, 1, 1, 0.0);
  ExpectSame(expected, m);
}

TEST(InterpolatePoint, OutsideThePreconditionUsesWhatExistsInsideTheArray)
{
  // H 2 H
  // 4 H H   (H: hole)
  // H H H
  ON_3dPointArray base = Grid(3, 3, 1.0, kHole);
  base[1].z = 2.0;
  base[3].z = 4.0;
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
