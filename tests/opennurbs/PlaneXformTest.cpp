// Plane frames, plane-to-plane rotations and inversion.
#include "GeometryChecks.h"

#include <cmath>
#include <gtest/gtest.h>

using opennurbs_test::ExpectSame;

namespace {

void ExpectRows(const ON_Xform &M, const double (*rows)[4], int count)
{
  for (int i = 0; i < count; i++)
    for (int j = 0; j < 4; j++)
      EXPECT_EQ(M.m_xform[i][j], rows[i][j]) << i << "," << j;
}

} // namespace

TEST(Plane, FramesFromNormal)
{
  const double r2 = 0.70710678118654757, a = -0.40824829046386307, b = 0.81649658092772615;
  const double c = -0.57735026918962584;
  const struct
  {
    ON_3dVector normal, x, y, z;
  } cases[] = {
      {{0, 0, 1}, {1, 0, -0.0}, {-0.0, 1, 0}, {0, 0, 1}},
      {{0, 0, -1}, {-1, 0, -0.0}, {0, 1, 0}, {0, 0, -1}},
      {{1, 0, 0}, {-0.0, 1, 0}, {0, -0.0, 1}, {1, 0, 0}},
      {{-1, 0, 0}, {-0.0, -1, 0}, {0, 0, 1}, {-1, 0, 0}},
      {{0, 1, 0}, {0, -0.0, 1}, {1, 0, -0.0}, {0, 1, 0}},
      {{0, -1, 0}, {0, -0.0, -1}, {1, 0, 0}, {0, -1, 0}},
      {{-1, -1, -1}, {r2, -r2, 0}, {a, a, b}, {c, c, c}},
      {{-1, -2, -3},
       {0, -0.83205029433784361, 0.55470019622522904},
       {-0.96362411165943163, 0.14824986333222023, 0.22237479499833035},
       {-0.2672612419124244, -0.53452248382484879, -0.8017837257372733}},
      {{0.6, 0, -0.8},
       {-0.80000000000000004, 0, -0.59999999999999998},
       {0, 1, 0},
       {0.59999999999999998, 0, -0.80000000000000004}},
  };
  for (const auto &k : cases) {
    ON_Plane plane;
    EXPECT_TRUE(plane.CreateFromNormal(ON_3dPoint::Origin, k.normal));
    ExpectSame(plane.xaxis, k.x, "xaxis");
    ExpectSame(plane.yaxis, k.y, "yaxis");
    ExpectSame(plane.zaxis, k.z, "zaxis");
  }

  const ON_3dPoint origin(1, -2, 3);
  const ON_Plane shifted(origin, ON_3dVector(0, 0, 2));
  EXPECT_EQ(shifted.plane_equation.d, -3.0);
  EXPECT_TRUE(shifted.IsValid());

  ON_Plane degenerate;
  EXPECT_FALSE(degenerate.CreateFromNormal(origin, ON_3dVector(0, 0, 0)));
  EXPECT_TRUE(degenerate.xaxis.IsZero() && degenerate.yaxis.IsZero() && degenerate.zaxis.IsZero());
  EXPECT_EQ(degenerate.plane_equation.d, 0.0);
  EXPECT_TRUE(std::signbit(degenerate.plane_equation.d));
  EXPECT_FALSE(degenerate.IsValid());
}

TEST(Plane, FramesFromTwoDirections)
{
  ON_Plane p;
  EXPECT_TRUE(p.CreateFromFrame(ON_3dPoint(4, 5, 6), ON_3dVector(2, 0, 0), ON_3dVector(1, 1, 0)));
  ExpectSame(p.xaxis, ON_3dVector(1, 0, 0), "x");
  ExpectSame(p.yaxis, ON_3dVector(0, 1, 0), "y");
  ExpectSame(p.zaxis, ON_3dVector(0, 0, 1), "z");
  EXPECT_EQ(p.plane_equation.d, -6.0);
  const ON_Plane q(ON_3dPoint::Origin, ON_3dVector(0, 1, 0), ON_3dVector(0, 0, 1));
  ExpectSame(q.zaxis, ON_3dVector(1, 0, 0), "yz plane normal");

  // Aliased inputs are copied first.
  ON_Plane r;
  r.xaxis.Set(0, 3, 0);
  r.yaxis.Set(-1, 1, 0);
  EXPECT_TRUE(r.CreateFromFrame(r.origin, r.xaxis, r.yaxis));
  ExpectSame(r.yaxis, ON_3dVector(-1, 0, 0), "aliased y");
  ExpectSame(r.zaxis, ON_3dVector(0, -0.0, 1), "aliased z");

  // Parallel directions fail; a y not perpendicular to x is straightened.
  const ON_3dPoint o = ON_3dPoint::Origin;
  EXPECT_FALSE(p.CreateFromFrame(o, ON_3dVector(1, 0, 0), ON_3dVector(-2, 0, 0)));
  EXPECT_TRUE(p.yaxis.IsZero() && p.zaxis.IsZero());
  EXPECT_FALSE(p.CreateFromFrame(o, ON_3dVector(1, 1, 0), ON_3dVector(2, 2, 0)));
  EXPECT_TRUE(p.CreateFromFrame(o, ON_3dVector(1, 0, 0), ON_3dVector(5, 1e-3, 0)));
  ExpectSame(p.yaxis, ON_3dVector(0, 1, 0), "straightened");
}

TEST(Xform, RotationFromWorldIsExactAndInvertible)
{
  ON_3dVector n(1, 2, 3);
  n.Unitize();
  ON_Xform R;
  R.Rotation(ON_Plane::World_xy, ON_Plane(ON_3dPoint::Origin, -n));
  const double expected[4][4] = {
      {0, -0.96362411165943163, -0.2672612419124244, 0},
      {-0.83205029433784361, 0.14824986333222023, -0.53452248382484879, 0},
      {0.55470019622522904, 0.22237479499833035, -0.8017837257372733, 0},
      {0, 0, 0, 1}};
  ExpectRows(R, expected, 4);

  // Full-pivot elimination: close to but not the transpose.
  double pivot = -1;
  const ON_Xform inverse = R.Inverse(&pivot);
  EXPECT_EQ(pivot, 0.8634593969478328);
  const double row0[1][4] = {
      {-2.3094034860500319e-17, -0.83205029433784383, 0.55470019622522915, -0.0}};
  ExpectRows(inverse, row0, 1);
  EXPECT_TRUE((inverse * R).IsIdentity(1e-15));
  EXPECT_TRUE((R * inverse).IsIdentity(1e-15));
  EXPECT_LT((inverse * ON_3dPoint(n) - ON_3dPoint(0, 0, -1)).Length(), 2e-15);

  // A frame with an origin.
  ON_Xform M;
  M.Rotation(ON_Plane::World_xy,
             ON_Plane(ON_3dPoint(1, 2, 3), ON_3dVector(0, 1, 0), ON_3dVector(-1, 0, 0)));
  const double rows[3][4] = {{0, -1, 0, 1}, {1, 0, 0, 2}, {0, 0, 1, 3}};
  ExpectRows(M, rows, 3);
  EXPECT_EQ(M * ON_3dPoint(1, 0, 0), ON_3dPoint(1, 3, 3));
  EXPECT_TRUE(M.Invert());
  EXPECT_EQ(M * ON_3dPoint(1, 3, 3), ON_3dPoint(1, 0, 0));
}

TEST(Xform, SingularMatricesReportFalse)
{
  double pivot = -1;
  ON_Xform d; // diag(0,0,0,1)
  EXPECT_FALSE(d.Invert(&pivot));
  EXPECT_EQ(pivot, 0.0);
  EXPECT_TRUE(d.IsIdentity()); // left as the identity
  ON_Xform zero = ON_Xform::ZeroTransformation;
  EXPECT_FALSE(zero.Invert());
  EXPECT_TRUE(zero.IsIdentity());

  ON_Xform rank3; // row 2 = row 0 + row 1
  const double rows[4][4] = {{1, 1, 0, 0}, {0, 1, 0, 0}, {1, 2, 0, 0}, {0, 0, 0, 1}};
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++)
      rank3[i][j] = rows[i][j];
  pivot = -1;
  EXPECT_FALSE(rank3.Invert(&pivot));
  EXPECT_EQ(pivot, 0.0);

  ON_Xform nan = ON_Xform::IdentityTransformation;
  nan[1][1] = ON_DBL_QNAN;
  EXPECT_FALSE(nan.IsIdentity(1.0));
  EXPECT_EQ(d[4], nullptr);
  EXPECT_EQ(d[-1], nullptr);
}

TEST(Xform, InverseUndoesGeneralMatrices)
{
  // Full 4x4 matrices (projective rows included) whose largest entries sit
  // off the diagonal, so rows and columns both swap.
  unsigned int seed = 12345;
  for (int trial = 0; trial < 50; trial++) {
    ON_Xform M;
    for (int i = 0; i < 4; i++)
      for (int j = 0; j < 4; j++) {
        seed = seed * 1103515245u + 12345u;
        M[i][j] = ((seed >> 8) % 2001) / 1000.0 - 1.0;
      }
    M[trial % 4][(trial + 1) % 4] += 5.0;
    ON_Xform inverse = M;
    ASSERT_TRUE(inverse.Invert()) << trial;
    EXPECT_TRUE((inverse * M).IsIdentity(1e-11)) << trial;
    EXPECT_TRUE((M * inverse).IsIdentity(1e-11)) << trial;
  }
}
