// Evaluation, derivatives and normals of NURBS surfaces.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GeometryChecks.h"

namespace {

// Cox-de Boor recursion on the textbook knot vector (stored knots plus one
// repeated knot at each end), written independently of the library.
double CoxDeBoor(const std::vector<double> &U, int i, int p, double u)
{
  if (p == 0) {
    const bool last = U[i + 1] == U.back() && u == U.back() && U[i] < U[i + 1];
    return ((U[i] <= u && u < U[i + 1]) || last) ? 1.0 : 0.0;
  }
  double value = 0.0;
  if (U[i + p] > U[i])
    value += (u - U[i]) / (U[i + p] - U[i]) * CoxDeBoor(U, i, p - 1, u);
  if (U[i + p + 1] > U[i + 1])
    value += (U[i + p + 1] - u) / (U[i + p + 1] - U[i + 1]) * CoxDeBoor(U, i + 1, p - 1, u);
  return value;
}

ON_3dPoint ReferencePoint(const ON_NurbsSurface &S, double s, double t)
{
  std::vector<double> U[2];
  for (int dir = 0; dir < 2; ++dir) {
    U[dir].assign(S.Knot(dir), S.Knot(dir) + S.KnotCount(dir));
    U[dir].insert(U[dir].begin(), U[dir].front());
    U[dir].push_back(U[dir].back());
  }
  ON_4dPoint sum(0, 0, 0, 0), cv;
  for (int i = 0; i < S.CVCount(0); ++i)
    for (int j = 0; j < S.CVCount(1); ++j) {
      const double b = CoxDeBoor(U[0], i, S.Degree(0), s) * CoxDeBoor(U[1], j, S.Degree(1), t);
      S.GetCV(i, j, cv);
      sum = ON_4dPoint(sum.x + b * cv.x, sum.y + b * cv.y, sum.z + b * cv.z, sum.w + b * cv.w);
    }
  return ON_3dPoint(sum.x / sum.w, sum.y / sum.w, sum.z / sum.w);
}

// Rational, non-uniform knots, orders 4 x 3, varied weights.
ON_NurbsSurface IrregularRationalSurface()
{
  ON_NurbsSurface S(3, true, 4, 3, 6, 5);
  const double k0[] = {0, 0, 0, 0.5, 1.75, 3, 3, 3}, k1[] = {-1, -1, 0, 0.25, 2, 2};
  for (int k = 0; k < 8; ++k)
    S.SetKnot(0, k, k0[k]);
  for (int k = 0; k < 6; ++k)
    S.SetKnot(1, k, k1[k]);
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 5; ++j) {
      const double w = 0.5 + 0.25 * ((i * 3 + j * 5) % 4);
      S.SetCV(i, j, ON_4dPoint(w * i, w * (j + 0.3 * i), w * std::sin(i + 2.0 * j), w));
    }
  return S;
}

TEST(NurbsEvaluate, QuadraticExampleValues)
{
  const ON_NurbsSurface S = opennurbs_test::QuadraticExample();
  ON_3dPoint point;
  ON_3dVector ds, dt;
  ASSERT_TRUE(S.Ev1Der(1.25, 0.4, point, ds, dt));
  EXPECT_LT((point - ON_3dPoint(1.78125, 0.8, 0.506875)).Length(), 1e-12);
  EXPECT_LT((ds - ON_3dVector(1.25, 0, 0.475)).Length(), 1e-12);
  EXPECT_LT((dt - ON_3dVector(0, 2, 0.4)).Length(), 1e-12);
}

TEST(NurbsEvaluate, AgreesWithCoxDeBoorAndFiniteDifferences)
{
  const ON_NurbsSurface S = IrregularRationalSurface();
  ASSERT_TRUE(S.IsValid());
  const double h = 1e-5;
  for (double s : {0.0, 0.1, 0.5, 1.0, 1.75, 2.6, 3.0}) {
    for (double t : {-1.0, -0.4, 0.1, 1.1, 2.0}) { // Dtt jumps at t = 0, 0.25
      SCOPED_TRACE(testing::Message() << "s=" << s << " t=" << t);
      double v[18];
      ASSERT_TRUE(S.Evaluate(s, t, 2, 3, v));
      EXPECT_LT((ON_3dPoint(v) - ReferencePoint(S, s, t)).Length(), 1e-12);
      // Central differences of the point (first) and of the first derivatives (second).
      double vs[2][18], vt[2][18];
      for (int k = 0; k < 2; ++k) {
        ASSERT_TRUE(S.Evaluate(s + (k ? h : -h), t, 1, 3, vs[k], k ? 1 : 2));
        ASSERT_TRUE(S.Evaluate(s, t + (k ? h : -h), 1, 3, vt[k], k ? 1 : 4));
      }
      for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(v[3 + c], (vs[1][c] - vs[0][c]) / (2 * h), 1e-6);
        EXPECT_NEAR(v[6 + c], (vt[1][c] - vt[0][c]) / (2 * h), 1e-6);
        if (s != 0.5 && s != 1.75) { // Dsss jumps at the interior knots
          EXPECT_NEAR(v[9 + c], (vs[1][3 + c] - vs[0][3 + c]) / (2 * h), 1e-5);
        }
        EXPECT_NEAR(v[12 + c], (vt[1][3 + c] - vt[0][3 + c]) / (2 * h), 1e-5);
        EXPECT_NEAR(v[15 + c], (vt[1][6 + c] - vt[0][6 + c]) / (2 * h), 1e-5);
      }
    }
  }
  // Derivative orders above the degree vanish (Dsss, Dttt).
  double v[10 * 3];
  ASSERT_TRUE(opennurbs_test::QuadraticExample().Evaluate(0.3, 0.6, 3, 3, v));
  for (int c = 0; c < 3; ++c)
    EXPECT_TRUE(v[18 + c] == 0.0 && v[27 + c] == 0.0);
}

TEST(NurbsEvaluate, RationalQuarterCircleAndExtrapolation)
{
  const ON_NurbsSurface S = opennurbs_test::QuarterCylinder();
  ASSERT_TRUE(S.IsValid());
  for (double s = 0.0; s <= 1.0; s += 0.125) {
    const ON_3dPoint p = S.PointAt(s, 0.5);
    EXPECT_NEAR(p.x * p.x + p.y * p.y, 1.0, 1e-14);
    EXPECT_NEAR(p.z, 1.0, 1e-14);
    const ON_3dVector n = S.NormalAt(s, 0.5); // outward
    EXPECT_NEAR(n.x, p.x, 1e-14);
    EXPECT_NEAR(n.y, p.y, 1e-14);
  }
  // Outside the domain the span polynomial continues: Bernstein form at s = 1.5.
  ON_NurbsSurface B(1, false, 3, 2, 3, 2);
  const double c[3] = {1.0, 4.0, -2.0};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 2; ++j)
      B.SetCV(i, j, ON::not_rational, &c[i]);
  B.MakeClampedUniformKnotVector(0);
  B.MakeClampedUniformKnotVector(1);
  double value = 0.0;
  ASSERT_TRUE(B.Evaluate(1.5, 7.0, 0, 1, &value));
  const double u = 1.5;
  EXPECT_NEAR(value, (1 - u) * (1 - u) * c[0] + 2 * u * (1 - u) * c[1] + u * u * c[2], 1e-12);
  EXPECT_EQ(B.PointAt(0.5, 0.5).y, 0.0); // 1d surface
  EXPECT_FALSE(B.Evaluate(ON_DBL_QNAN, 0.0, 0, 1, &value));
  EXPECT_FALSE(ON_NurbsSurface().Evaluate(0.0, 0.0, 0, 3, &value));
}

TEST(NurbsEvaluate, QuadrantSelectsTheSideOfAKink)
{
  // A crease at s = 1: double knot, order 3, z = |s - 1|.
  ON_NurbsSurface S(3, false, 3, 2, 5, 2);
  const double knots[] = {0, 0, 1, 1, 2, 2};
  for (int k = 0; k < 6; ++k)
    S.SetKnot(0, k, knots[k]);
  S.MakeClampedUniformKnotVector(1);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 2; ++j)
      S.SetCV(i, j, ON_3dPoint(0.5 * i, j, std::fabs(0.5 * i - 1)));
  ASSERT_TRUE(S.IsValid());
  ON_3dPoint p;
  ON_3dVector ds, dt;
  // quadrant 1: from above, 2: s from below, 4: s from above and t from below.
  for (int quadrant : {1, 2, 4}) {
    ASSERT_TRUE(S.Ev1Der(1.0, 0.5, p, ds, dt, quadrant));
    EXPECT_NEAR(ds.z, quadrant == 2 ? -1.0 : 1.0, 1e-12) << quadrant;
  }
  EXPECT_LT((p - ON_3dPoint(1.0, 0.5, 0.0)).Length(), 1e-15);
}

TEST(NurbsEvaluate, NormalsPlanarExactUnitOrthogonalAndCollapsedEdge)
{
  // A planar, irregularly spaced grid in z = 0: exactly (0, 0, 1).
  ON_NurbsSurface plane = opennurbs_test::Flat(5, 6);
  plane.SetCV(2, 3, ON_3dPoint(2.3, 2.9, 0.0));
  for (double s : {0.0, 0.37, 1.5, 3.0})
    for (double t : {0.0, 0.81, 2.2, 4.0})
      EXPECT_EQ(plane.NormalAt(s, t), ON_3dVector(0, 0, 1));

  const ON_NurbsSurface wavy = opennurbs_test::HeightField(
      7, 7, [](double x, double y) { return std::sin(x) * std::cos(y); });
  ON_3dPoint p;
  ON_3dVector ds, dt, n;
  for (double s = 0.0; s <= 5.0; s += 0.7)
    for (double t = 0.0; t <= 5.0; t += 0.9) {
      ASSERT_TRUE(wavy.EvNormal(s, t, p, ds, dt, n));
      EXPECT_NEAR(n.Length(), 1.0, 1e-15);
      EXPECT_NEAR(n * ds, 0.0, 1e-14 * ds.Length());
      EXPECT_NEAR(n * dt, 0.0, 1e-14 * dt.Length());
      EXPECT_GT(ON_CrossProduct(ds, dt) * n, 0.0);
    }

  // Edge t = 0 collapsed to the origin: Ds = 0 there, yet the limit normal is
  // (0, 0, 1) from every side.
  const ON_3dPoint fanCv[4] = {{0, 0, 0}, {0, 0, 0}, {-1, 1, 0}, {1, 1, 0}};
  const ON_NurbsSurface fan =
      opennurbs_test::Grid(false, 2, 2, 2, 2, [&](int i, int j) { return fanCv[i + 2 * j]; });
  ASSERT_TRUE(fan.Ev1Der(0.5, 0.0, p, ds, dt));
  EXPECT_TRUE(ds.IsZero());
  EXPECT_EQ(fan.NormalAt(0.5, 0.0), ON_3dVector(0, 0, 1));
  for (double s : {0.0, 1.0})
    for (int quadrant = 0; quadrant <= 4; ++quadrant) {
      ASSERT_TRUE(fan.EvNormal(s, 0.0, n, quadrant));
      EXPECT_LT((n - ON_3dVector(0, 0, 1)).Length(), 1e-15);
    }

  // Parallel partials away from the boundary give no normal.
  const ON_NurbsSurface ribbon = opennurbs_test::Grid(
      false, 2, 2, 2, 2, [](int i, int j) { return ON_3dPoint(i + 2 * j, 0, 0); });
  n = ON_3dVector(5, 5, 5);
  EXPECT_FALSE(ribbon.EvNormal(0.5, 0.5, n));
  EXPECT_TRUE(n.IsZero());
  EXPECT_TRUE(ON_NurbsSurface().NormalAt(0.5, 0.5).IsZero());
}

TEST(NurbsEvaluate, LimitNormalHelpers)
{
  double det = 0.0;
  EXPECT_TRUE(ON_EvJacobian(2.0, 1.0, 3.0, &det));
  EXPECT_EQ(det, 5.0);
  EXPECT_FALSE(ON_EvJacobian(0.0, 0.0, 1.0)); // zero partial
  EXPECT_FALSE(ON_EvJacobian(1.0, 1.0, 1.0)); // parallel
  // Du = 0 at an apex: the limit from quadrants 1, 2 and from 3 differ.
  const ON_3dVector zero(0, 0, 0), Dv(0, 1, 0), Duv(1, 0, 0);
  ON_3dVector N;
  for (int quadrant : {1, 2, 3}) {
    ASSERT_TRUE(ON_EvNormal(quadrant, zero, Dv, zero, Duv, zero, N));
    EXPECT_EQ(N, ON_3dVector(0, 0, quadrant == 3 ? -1 : 1)) << quadrant;
  }
  EXPECT_FALSE(ON_EvNormal(1, zero, zero, zero, zero, zero, N));
  EXPECT_TRUE(N.IsZero());
}

} // namespace
