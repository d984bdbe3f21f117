// Lengths, unitizing, perpendiculars and point transforms, bit for bit.
#include "GeometryChecks.h"

#include <cmath>
#include <gtest/gtest.h>

using opennurbs_test::ExpectSame;

TEST(Vector, ScaledLengthAndUnitize)
{
  EXPECT_EQ(ON_3dVector(3, 4, 0).Length(), 5.0);
  EXPECT_EQ(ON_3dVector(1, 2, 3).Length(), 3.7416573867739409);
  EXPECT_EQ(ON_3dVector(0, -1e300, 1e300).Length(), 1e300 * std::sqrt(2.0)); // no overflow
  EXPECT_EQ(ON_3dVector(0, 0, 1e-320).Length(), 1e-320);
  EXPECT_EQ(ON_3dVector(ON_DBL_PINF, 1, 0).Length(), ON_DBL_PINF);
  EXPECT_EQ(ON_3dVector(ON_DBL_QNAN, 0, 0).Length(), 0.0);
  EXPECT_EQ(ON_2dVector(-3, 4).Length(), 5.0);

  const struct
  {
    ON_3dVector v, expected;
    bool ok;
  } cases[] = {{{0, 0, 5}, {0, 0, 1}, true},
               {{0, 0, 1e-320}, {0, 0, 1}, true},
               {{0, 0, 0}, {0, 0, 0}, false},
               {{1, ON_DBL_QNAN, 2}, {0, 0, 0}, false},
               {{ON_DBL_NINF, 0, 0}, {0, 0, 0}, false}};
  for (const auto &c : cases) {
    ON_3dVector v = c.v;
    EXPECT_EQ(v.Unitize(), c.ok);
    ExpectSame(v, c.expected, "unitized");
  }
  ON_3dVector v(1, 2, 3); // true division, not multiplication by 1/length
  ASSERT_TRUE(v.Unitize());
  EXPECT_EQ(v.x, 1.0 / 3.7416573867739409);
  EXPECT_EQ(v.z, 3.0 / 3.7416573867739409);

  // Planar distance: the scaled length of the offset, with its NaN quirk.
  EXPECT_EQ(ON_2dPoint(1, 1).DistanceTo(ON_2dPoint(4, -3)), 5.0);
  EXPECT_EQ(ON_2dPoint(0, 0).DistanceTo(ON_2dPoint(ON_DBL_QNAN, 1)), 0.0);
  EXPECT_TRUE(std::isnan(ON_2dPoint(0, 0).DistanceTo(ON_2dPoint(1, ON_DBL_QNAN))));
}

TEST(Vector, PerpendicularToTable)
{
  const struct
  {
    ON_3dVector v, expected;
  } cases[] = {
      {{0, 0, 1}, {1, 0, -0.0}}, {{0, 0, -1}, {-1, 0, -0.0}}, {{1, 0, 0}, {-0.0, 1, 0}},
      {{0, 1, 0}, {0, -0.0, 1}}, {{1, 2, 3}, {0, 3, -2}},     {{3, 2, 1}, {-2, 3, 0}},
      {{1, 1, 1}, {-1, 1, 0}},   {{2, -5, 1}, {-5, -2, 0}},   {{1, 3, 2}, {0, -2, 3}},
      {{2, 1, 3}, {3, 0, -2}},   {{3, 1, 2}, {-2, 0, 3}},
  };
  for (const auto &c : cases) {
    ON_3dVector p;
    EXPECT_TRUE(p.PerpendicularTo(c.v));
    ExpectSame(p, c.expected, "perpendicular");
    EXPECT_EQ(ON_DotProduct(p, c.v), 0.0);
  }
  ON_3dVector self(1, 2, 3);
  EXPECT_TRUE(self.PerpendicularTo(self));
  ExpectSame(self, ON_3dVector(0, 3, -2), "aliased");
  ON_3dVector zero;
  EXPECT_FALSE(zero.PerpendicularTo(ON_3dVector(0, 0, 0)));
  ExpectSame(zero, ON_3dVector(-0.0, 0, 0), "zero");
}

TEST(Vector, PointTransformAndCrossProduct)
{
  ON_Xform affine = ON_Xform::IdentityTransformation;
  affine[0][1] = 2.0;
  affine[1][3] = 0.1;
  affine[2][2] = -1.0;
  const ON_3dPoint p(1.0 + 2.0 * 2, 2.0 + 0.1, -3.0);
  ON_3dPoint q(1, 2, 3);
  q.Transform(affine);
  EXPECT_EQ(q, p);
  EXPECT_EQ(affine * ON_3dPoint(1, 2, 3), p);
  ON_3dVector d(1, 2, 3);
  d.Transform(affine); // no translation
  EXPECT_EQ(d, ON_3dVector(5, 2, -3));

  // Row 3 sends (1,2,3) to w = 0: Transform gives the origin, the operator takes w as 1.
  ON_Xform projective = ON_Xform::IdentityTransformation;
  projective[3][0] = 1.0;
  projective[3][3] = -1.0;
  q = ON_3dPoint(1, 2, 3);
  q.Transform(projective);
  EXPECT_EQ(q, ON_3dPoint(0, 0, 0));
  EXPECT_EQ(projective * ON_3dPoint(1, 2, 3), ON_3dPoint(1, 2, 3));
  q = ON_3dPoint(3, 2, 1);
  q.Transform(projective); // w = 2
  EXPECT_EQ(q, ON_3dPoint(1.5, 1, 0.5));

  ON_3dPointArray pts;
  pts.Append(ON_3dPoint(1, 2, 3));
  pts.Append(ON_3dPoint(ON_DBL_PINF, 0, 0));
  EXPECT_TRUE(pts.Transform(affine));
  EXPECT_EQ(pts[0], p);
  EXPECT_TRUE(std::isnan(pts[1].x));
  EXPECT_FALSE(ON_3dPointArray().Transform(affine));

  // a.y*b.z - b.y*a.z keeps the sign of zeros.
  ExpectSame(ON_CrossProduct(ON_3dVector(0, 0, 1), ON_3dVector(1, 0, -0.0)),
             ON_3dVector(-0.0, 1, 0), "cross");
  ExpectSame(ON_CrossProduct(ON_3dVector(1, 0, 0), ON_3dVector(0, 1, 0)), ON_3dVector(0, 0, 1),
             "x cross y");
}
