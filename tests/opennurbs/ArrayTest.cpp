// Dynamic array and point-array semantics.
#include "opennurbs.h"

#include <gtest/gtest.h>

TEST(SimpleArray, GrowthAliasingCopyAndRelease)
{
  ON_SimpleArray<int> a;
  EXPECT_EQ(a.Array(), nullptr);
  const int capacities[9] = {4, 4, 4, 4, 8, 8, 8, 8, 16};
  for (int i = 0; i < 9; i++) {
    a.Append(i);
    EXPECT_EQ(a.Capacity(), capacities[i]) << "after append " << i;
  }

  // Appending elements of the array itself while it is full.
  ON_SimpleArray<int> full(4);
  for (int i = 0; i < 4; i++)
    full.Append(10 + i);
  full.Append(full[2]);
  ASSERT_EQ(full.Count(), 5);
  EXPECT_EQ(full[4], 12);
  full.Append(full.Count(), full.Array());
  ASSERT_EQ(full.Count(), 10);
  EXPECT_TRUE(full[5] == 10 && full[9] == 12);

  // A copy is independent and sized exactly.
  ON_SimpleArray<int> copy(full);
  EXPECT_EQ(copy.Capacity(), copy.Count());
  copy[0] = -1;
  EXPECT_EQ(full[0], 10);

  // Assigning an empty array keeps memory and contents, count 0.
  const int *block = copy.Array();
  const ON_SimpleArray<int> nothing;
  copy = nothing;
  EXPECT_EQ(copy.Count(), 0);
  EXPECT_EQ(copy.Array(), block);
  EXPECT_EQ(copy.Array()[1], 11);

  // SetCount beyond the capacity is ignored; Empty keeps the block zeroed.
  copy.SetCount(copy.Capacity() + 1);
  EXPECT_EQ(copy.Count(), 0);
  copy.SetCount(3);
  EXPECT_EQ(copy.Count(), 3);
  copy.Empty();
  EXPECT_EQ(copy.Count(), 0);
  EXPECT_EQ(copy.Array(), block);
  EXPECT_EQ(copy.Array()[1], 0);

  // Destroy frees; a negative capacity frees too; AppendNew zero-fills.
  copy.Destroy();
  EXPECT_TRUE(copy.Array() == nullptr && copy.Capacity() == 0);
  full.SetCapacity((size_t)-1);
  EXPECT_TRUE(full.Array() == nullptr && full.Count() == 0);
  full.Reserve(2);
  full.Array()[0] = 7;
  EXPECT_EQ(full.AppendNew(), 0);
  EXPECT_EQ(full.Capacity(), 2);
}

// Blocks of megabytes take the huge-page hint as they grow: the points
// already there survive every growth and the new slots read as zero.
TEST(PointArray, LargeGrowthKeepsPointsAndZeroFills)
{
  ON_3dPointArray points;
  const int count = 1 << 20; // 24 MB
  for (int i = 0; i < count; ++i)
    points.Append(ON_3dPoint(i, -i, 0.5 * i));
  bool kept = true;
  for (int i = 0; i < count && kept; ++i)
    kept = points[i] == ON_3dPoint(i, -i, 0.5 * i);
  EXPECT_TRUE(kept);
  points.SetCapacity(3 * size_t(count));
  const ON_3dPoint *slots = points.Array();
  bool zero = true;
  for (int i = count; i < 3 * count && zero; ++i)
    zero = slots[i] == ON_3dPoint(0.0, 0.0, 0.0);
  EXPECT_TRUE(zero);
  EXPECT_EQ(points[count - 1], ON_3dPoint(count - 1, 1 - count, 0.5 * (count - 1)));
}

TEST(PointArray, BoundingBoxCases)
{
  ON_3dPointArray empty;
  const ON_BoundingBox none = empty.BoundingBox();
  EXPECT_EQ(none.m_min, ON_3dPoint(1, 0, 0));
  EXPECT_EQ(none.m_max, ON_3dPoint(-1, 0, 0));
  EXPECT_FALSE(none.IsValid());

  ON_3dPointArray pts;
  pts.Append(ON_3dPoint(0, 5, -1));
  pts.Append(ON_3dPoint(ON_DBL_QNAN, 7, 2)); // NaN after the first point is ignored
  pts.Append(ON_3dPoint(-3, 6, 4));
  const ON_BoundingBox box = pts.BoundingBox();
  EXPECT_EQ(box.m_min, ON_3dPoint(-3, 5, -1));
  EXPECT_EQ(box.m_max, ON_3dPoint(0, 7, 4));

  // A valid box grows; an invalid one is replaced.
  ON_3dPointArray one;
  one.Append(ON_3dPoint(1, 2, 3));
  ON_BoundingBox grown(ON_3dPoint(-10, 0, 0), ON_3dPoint(-9, 0, 0)), reset;
  EXPECT_TRUE(one.GetBoundingBox(grown, true));
  EXPECT_EQ(grown.m_min, ON_3dPoint(-10, 0, 0));
  EXPECT_EQ(grown.m_max, ON_3dPoint(1, 2, 3));
  EXPECT_TRUE(one.GetBoundingBox(reset, true));
  EXPECT_TRUE(reset.IsValid() && reset.m_min == reset.m_max);
  EXPECT_TRUE(empty.GetBoundingBox(grown, true));
  EXPECT_FALSE(empty.GetBoundingBox(grown, false));

  // An unset point is an ordinary number: it widens the box, which then fails validity.
  one.Append(ON_3dPoint::UnsetPoint);
  const ON_BoundingBox unset = one.BoundingBox();
  EXPECT_EQ(unset.m_min, ON_3dPoint::UnsetPoint);
  EXPECT_EQ(unset.m_max, ON_3dPoint(1, 2, 3));
  EXPECT_FALSE(unset.IsValid());
}
