// Filling one hole from its nearest known neighbours.
#include "MatrixAccess.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kHole = -1.0; // below the floor 0
constexpr double kFloor = 0.0;

} // namespace

TEST(InterpolatePoint, EqualStepsGiveThePlainMeanAndAThirdWeightThreeStepsAway)
{
  ON_3dPointArray m = GridMatrix(3, 3, 2.0, 0.0);
  m[1].z = 1.0; // previous row
  m[3].z = 2.0; // left
  m[5].z = 3.0; // right
  m[7].z = 4.0; // next row
  m[4].z = kHole;
  MatrixAccess::InterpolatePoint(m, 3, 3, 4, 1, 1, kFloor);
  EXPECT_DOUBLE_EQ(2.5, m[4].z);

  // Row 1 of a 3 x 5 grid: a hole at column 1 with a run of holes after it.
  ON_3dPointArray run = GridMatrix(3, 5, 1.0, 0.0);
  run[5].z = 10.0; // left, 1 step
  run[9].z = 40.0; // right, 3 steps past two holes
  run[1].z = 20.0; // previous row, 1 step
  run[11].z = 30.0;
  run[6].z = run[7].z = run[8].z = kHole;
  MatrixAccess::InterpolatePoint(run, 3, 5, 6, 1, 1, kFloor);
  const double third = 1.0 / 3.0;
  EXPECT_DOUBLE_EQ((10.0 + third * 40.0 + 20.0 + 30.0) / (1.0 + third + 1.0 + 1.0), run[6].z);
  // The next hole of the run now sees the filled one as its left neighbour.
  const double filled = run[6].z;
  MatrixAccess::InterpolatePoint(run, 3, 5, 7, 1, 2, kFloor);
  EXPECT_DOUBLE_EQ((filled + 0.5 * 40.0 + 0.0 + 0.0) / (1.0 + 0.5 + 1.0 + 1.0), run[7].z);
  EXPECT_EQ(kHole, run[8].z);
}

TEST(InterpolatePoint, FloorHeightNeighboursCountAndOnlyTheHoleChanges)
{
  ON_3dPointArray m = GridMatrix(4, 4, 1.0, kFloor); // every known cell at the floor
  m[5].z = kHole;
  m[6].z = 8.0;
  m[9].z = kHole;
  const ON_3dPointArray before = m;
  MatrixAccess::InterpolatePoint(m, 4, 4, 5, 1, 1, kFloor);
  // left, previous row at the floor; right 8; next row passes the hole at 9.
  EXPECT_DOUBLE_EQ((0.0 + 8.0 + 0.0 + 0.5 * 0.0) / (1.0 + 1.0 + 1.0 + 0.5), m[5].z);
  for (int k = 0; k < m.Count(); ++k) {
    EXPECT_EQ(before[k].x, m[k].x);
    EXPECT_EQ(before[k].y, m[k].y);
    if (k != 5) {
      EXPECT_EQ(before[k].z, m[k].z) << k;
    }
  }
}

TEST(InterpolatePoint, OutsideThePreconditionStaysInsideTheMatrix)
{
  // A corner cell: only the right and next-row neighbours exist.
  ON_3dPointArray m = GridMatrix(3, 3, 1.0, 6.0);
  m[0].z = kHole;
  m[1].z = 2.0;
  m[3].z = 4.0;
  MatrixAccess::InterpolatePoint(m, 3, 3, 0, 0, 0, kFloor);
  EXPECT_DOUBLE_EQ(3.0, m[0].z);

  // No known cell in the row or column: unchanged.
  ON_3dPointArray lonely = GridMatrix(3, 3, 1.0, kHole);
  lonely[0].z = lonely[8].z = 5.0;
  MatrixAccess::InterpolatePoint(lonely, 3, 3, 4, 1, 1, kFloor);
  EXPECT_EQ(kHole, lonely[4].z);

  // Counts that do not fit the array, and indices outside it: the sanitizer
  // build catches any access beyond the 9 points.
  ON_3dPointArray small = GridMatrix(3, 3, 1.0, 1.0);
  small[7].z = kHole;
  MatrixAccess::InterpolatePoint(small, 10, 3, 7, 2, 1, kFloor);
  EXPECT_DOUBLE_EQ(1.0, small[7].z);
  for (int index : {-1, 9, 1000})
    MatrixAccess::InterpolatePoint(small, 3, 3, index, 1, 1, kFloor);
  MatrixAccess::InterpolatePoint(small, 0, 0, 4, 1, 1, kFloor);
  MatrixAccess::InterpolatePoint(small, 3, -3, 4, 1, 1, kFloor);
}

TEST(InterpolatePoint, TinyOrZeroSpacingStillGivesAMeanOfTheNeighbours)
{
  // Denormal steps make 1 / d overflow.
  ON_3dPointArray tiny = GridMatrix(3, 3, 1e-313, 0.0);
  tiny[1].z = 1.0;
  tiny[3].z = 2.0;
  tiny[5].z = 3.0;
  tiny[7].z = 4.0;
  tiny[4].z = kHole;
  MatrixAccess::InterpolatePoint(tiny, 3, 3, 4, 1, 1, kFloor);
  EXPECT_DOUBLE_EQ(2.5, tiny[4].z);

  // Two columns at the same x: the neighbour at distance 0 takes all weight.
  ON_3dPointArray same = GridMatrix(3, 3, 1.0, 0.0);
  for (int r = 0; r < 3; ++r)
    same[r * 3 + 2].x = same[r * 3 + 1].x;
  same[1].z = 1.0;
  same[3].z = 2.0;
  same[5].z = 7.0;
  same[7].z = 4.0;
  same[4].z = kHole;
  MatrixAccess::InterpolatePoint(same, 3, 3, 4, 1, 1, kFloor);
  EXPECT_DOUBLE_EQ(7.0, same[4].z);
}
