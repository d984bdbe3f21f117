// Creation, storage, knots and validity of ON_NurbsSurface.
#include <gtest/gtest.h>

#include <vector>

#include "GeometryChecks.h"

namespace {

std::vector<double> Knots(const ON_NurbsSurface &surface, int dir)
{
  return std::vector<double>(surface.Knot(dir), surface.Knot(dir) + surface.KnotCount(dir));
}

TEST(NurbsSurface, CreateRejectsInOrderAndLeavesTheSurfaceUntouched)
{
  ON_NurbsSurface surface = opennurbs_test::QuadraticExample();
  const double *cv = surface.m_cv;
  const ON_3dPoint before = surface.PointAt(1.25, 0.4);
  // dim, order0, order1, cv_count0, cv_count1 each the only bad argument; sizes beyond int.
  EXPECT_FALSE(surface.Create(0, true, 3, 3, 5, 5));
  EXPECT_FALSE(surface.Create(3, true, 1, 3, 5, 5));
  EXPECT_FALSE(surface.Create(3, true, 3, 1, 5, 5));
  EXPECT_FALSE(surface.Create(3, true, 3, 3, 2, 5));
  EXPECT_FALSE(surface.Create(3, true, 3, 3, 5, 2));
  EXPECT_FALSE(surface.Create(3, true, 3, 3, 100000, 100000));
  EXPECT_TRUE(surface.IsValid());
  EXPECT_EQ(surface.m_cv, cv);
  EXPECT_FALSE(surface.IsRational());
  EXPECT_EQ(surface.PointAt(1.25, 0.4), before);

  // j varies fastest.
  ASSERT_TRUE(surface.Create(3, true, 3, 4, 5, 6));
  EXPECT_EQ(surface.m_cv_stride[1], 4);
  EXPECT_EQ(surface.m_cv_stride[0], 24);
  EXPECT_EQ(surface.KnotCount(0), 6);
  EXPECT_EQ(surface.KnotCount(1), 8);
}

TEST(NurbsSurface, ClampedUniformKnotsAndDomain)
{
  ON_NurbsSurface surface(3, false, 3, 3, 3, 5);
  ASSERT_TRUE(surface.MakeClampedUniformKnotVector(0));
  ASSERT_TRUE(surface.MakeClampedUniformKnotVector(1));
  EXPECT_EQ(Knots(surface, 0), (std::vector<double>{0, 0, 1, 1}));
  EXPECT_EQ(Knots(surface, 1), (std::vector<double>{0, 0, 1, 2, 3, 3}));
  EXPECT_EQ(surface.Domain(1), ON_Interval(0, 3));
  // dir is not folded; delta must be positive; knots stay as they were.
  EXPECT_FALSE(surface.MakeClampedUniformKnotVector(2));
  EXPECT_FALSE(surface.MakeClampedUniformKnotVector(1, 0.0));
  EXPECT_EQ(Knots(surface, 1), (std::vector<double>{0, 0, 1, 2, 3, 3}));

  // Knots accumulate by repeated addition, not i * delta.
  ON_NurbsSurface fine(3, false, 4, 3, 12, 3);
  ASSERT_TRUE(fine.MakeClampedUniformKnotVector(0, 0.1));
  double k = 0.0;
  for (int i = 0; i < 9; ++i)
    k = k + 0.1;
  EXPECT_NE(k, 0.9);
  EXPECT_EQ(fine.Domain(0).Max(), k);
  EXPECT_EQ(fine.Knot(0, fine.KnotCount(0) - 1), k);

  EXPECT_FALSE(surface.SetKnot(0, 4, 1.0));
  EXPECT_FALSE(surface.SetKnot(0, -1, 1.0));
  EXPECT_TRUE(surface.SetKnot(0, 2, 2.0));
  EXPECT_EQ(surface.Domain(0), ON_Interval(0, 2));
  EXPECT_EQ(surface.Knot(0, 4), 0.0); // outside the knot array
  EXPECT_EQ(surface.Knot(0, -1), 0.0);
  ON_NurbsSurface empty;
  EXPECT_FALSE(empty.SetKnot(0, 0, 1.0));
  EXPECT_FALSE(empty.Domain(0).IsValid());
}

TEST(NurbsSurface, ControlPointsAndWeights)
{
  ON_NurbsSurface surface(3, true, 3, 3, 3, 4);
  surface.SetWeight(2, 3, 7.0);
  surface.SetWeight(0, 0, 7.0);
  ASSERT_TRUE(surface.SetCV(2, 3, ON_3dPoint(1, 2, 3))); // a 3d point sets weight 1
  EXPECT_EQ(surface.Weight(2, 3), 1.0);
  EXPECT_EQ(surface.Weight(0, 0), 7.0);
  // Out-of-range indices are refused instead of writing past the array.
  EXPECT_FALSE(surface.SetCV(3, 0, ON_3dPoint(0, 0, 0)));
  EXPECT_FALSE(surface.SetCV(0, 4, ON_3dPoint(0, 0, 0)));
  EXPECT_FALSE(surface.SetCV(-1, 0, ON_3dPoint(0, 0, 0)));
  EXPECT_EQ(surface.CV(0, 4), nullptr);

  ASSERT_TRUE(surface.SetCV(1, 1, ON_4dPoint(2, 4, 6, 2)));
  ON_3dPoint euclidean;
  ON_4dPoint homogeneous;
  ASSERT_TRUE(surface.GetCV(1, 1, euclidean) && surface.GetCV(1, 1, homogeneous));
  EXPECT_EQ(euclidean, ON_3dPoint(1, 2, 3));
  EXPECT_EQ(homogeneous, ON_4dPoint(2, 4, 6, 2));
  double values[4];
  ASSERT_TRUE(surface.GetCV(1, 1, ON::euclidean_rational, values));
  EXPECT_EQ(std::vector<double>(values, values + 4), (std::vector<double>{1, 2, 3, 2}));
  const double set[4] = {1, 1, 1, 4};
  ASSERT_TRUE(surface.SetCV(0, 0, ON::euclidean_rational, set));
  ASSERT_TRUE(surface.GetCV(0, 0, ON::homogeneous_rational, values));
  EXPECT_EQ(std::vector<double>(values, values + 4), (std::vector<double>{4, 4, 4, 4}));
  // A zero weight cannot give a Euclidean point.
  surface.SetWeight(0, 1, 0.0);
  euclidean = ON_3dPoint(9, 9, 9);
  EXPECT_FALSE(surface.GetCV(0, 1, euclidean));
  EXPECT_EQ(euclidean, ON_3dPoint(9, 9, 9));

  ON_NurbsSurface plain(3, false, 2, 2, 2, 2);
  EXPECT_TRUE(plain.SetWeight(0, 0, 1.0));
  EXPECT_FALSE(plain.SetWeight(0, 0, 2.0));
  ASSERT_TRUE(plain.SetCV(1, 1, ON_4dPoint(2, 4, 6, 2)));
  ASSERT_TRUE(plain.GetCV(1, 1, homogeneous));
  EXPECT_EQ(homogeneous, ON_4dPoint(1, 2, 3, 1));
}

TEST(NurbsSurface, ValidityRules)
{
  EXPECT_FALSE(ON_NurbsSurface().IsValid());
  EXPECT_FALSE(ON_NurbsSurface(3, true, 3, 3, 3, 3).IsValid()); // knots not made yet
  const ON_NurbsSurface surface = opennurbs_test::Flat(6, 3);
  ASSERT_TRUE(surface.IsValid());

  // Control point coordinates must lie within +-1e307.
  for (double bad : {ON_UNSET_VALUE, ON_DBL_QNAN, ON_DBL_PINF, 1.0e307, 0.99e307}) {
    ON_NurbsSurface copy = surface;
    copy.CV(2, 1)[2] = bad;
    EXPECT_EQ(copy.IsValid(), bad == 0.99e307) << bad;
  }

  // Order 3, 6 control points.
  const struct
  {
    double knots[7];
    bool valid;
  } cases[] = {
      {{0, 0, 1, 2, 3, 4, 4}, true},
      {{0, 0, 2, 2, 3, 4, 4}, true},  // double interior knot
      {{0, 0, 2, 2, 2, 4, 4}, false}, // triple interior knot
      {{0, 0, 0, 2, 3, 4, 4}, false}, // empty first span
      {{0, 0, 1, 2, 4, 4, 4}, false}, // empty last span
      {{0, 0, 2, 1, 3, 4, 4}, false}, // decreasing
      {{-1, 0, 1, 2, 3, 4, 5}, true}, // unclamped
      {{0, 0, 1, ON_UNSET_VALUE, 3, 4, 4}, false},
      {{0, 0, 1, ON_DBL_QNAN, 3, 4, 4}, false},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(ON_IsValidKnotVector(3, 6, c.knots), c.valid) << (&c - cases);
    ON_NurbsSurface copy = surface;
    for (int k = 0; k < 7; ++k)
      copy.SetKnot(0, k, c.knots[k]);
    EXPECT_EQ(copy.IsValid(), c.valid) << (&c - cases);
  }

  // The transposed layout is accepted, overlapping strides are not.
  ON_NurbsSurface strided = surface;
  strided.m_cv_stride[0] = 3;
  strided.m_cv_stride[1] = 18;
  EXPECT_TRUE(strided.IsValid());
  strided.m_cv_stride[1] = 6;
  EXPECT_FALSE(strided.IsValid());
  strided.m_cv_stride[1] = 2;
  EXPECT_FALSE(strided.IsValid());
}

TEST(NurbsSurface, CopyAssignmentAndDestroy)
{
  ON_NurbsSurface source = opennurbs_test::Grid(true, 3, 3, 5, 4, [](int i, int j) {
    return ON_4dPoint(i, j, std::sin(i) * std::cos(j), 1.0);
  });
  ON_NurbsSurface copy(source);
  ASSERT_TRUE(copy.IsValid());
  EXPECT_NE(copy.m_cv, source.m_cv);
  EXPECT_EQ(copy.PointAt(1.3, 0.7), source.PointAt(1.3, 0.7));
  copy.SetCV(2, 2, ON_3dPoint(0, 0, 10));
  EXPECT_NE(copy.PointAt(1.3, 0.7), source.PointAt(1.3, 0.7));

  // A transposed source is copied CV by CV into the Create layout.
  ON_NurbsSurface transposed(3, false, 3, 3, 4, 5);
  transposed.m_cv_stride[0] = 3;
  transposed.m_cv_stride[1] = 12;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 5; ++j)
      transposed.SetCV(i, j, ON_3dPoint(i, j, i * j));
  transposed.MakeClampedUniformKnotVector(0);
  transposed.MakeClampedUniformKnotVector(1);
  ON_NurbsSurface assigned;
  assigned = transposed;
  EXPECT_EQ(assigned.m_cv_stride[1], 3);
  EXPECT_EQ(assigned.m_cv_stride[0], 15);
  EXPECT_EQ(assigned.PointAt(0.7, 1.9), transposed.PointAt(0.7, 1.9));

  // Assigning an empty surface keeps the destination's arrays.
  const double *cv = assigned.m_cv;
  const ON_NurbsSurface empty;
  assigned = empty;
  EXPECT_EQ(assigned.m_cv, cv);
  EXPECT_FALSE(assigned.IsValid());

  copy.Destroy();
  EXPECT_EQ(copy.m_cv, nullptr);
  EXPECT_EQ(copy.m_knot[0], nullptr);
  EXPECT_EQ(copy.m_cv_capacity, 0);
  EXPECT_TRUE(source.IsValid());
}

} // namespace
