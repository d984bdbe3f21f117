// Global closest point on NURBS surfaces, checked against a dense search.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "GeometryChecks.h"

namespace {

struct Found
{
  double s, t, distance;
};

// Reference: best of an n x n grid over [s0,s1] x [t0,t1], then a pattern
// search (8 directions, halving steps) down to 1e-13 of the rectangle.
Found DenseClosest(const ON_Surface &S, const ON_3dPoint &P, double s0, double s1, double t0,
                   double t1, int n = 160)
{
  auto distance = [&](double s, double t) { return (S.PointAt(s, t) - P).Length(); };
  Found best{s0, t0, distance(s0, t0)};
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j) {
      const double s = s0 + (s1 - s0) * i / n, t = t0 + (t1 - t0) * j / n, d = distance(s, t);
      if (d < best.distance)
        best = {s, t, d};
    }
  double hs = (s1 - s0) / n, ht = (t1 - t0) / n;
  while (hs > 1e-13 * (s1 - s0) || ht > 1e-13 * (t1 - t0)) {
    bool moved = false;
    for (int di = -1; di <= 1; ++di)
      for (int dj = -1; dj <= 1; ++dj) {
        const double s = std::fmin(std::fmax(best.s + di * hs, s0), s1);
        const double t = std::fmin(std::fmax(best.t + dj * ht, t0), t1), d = distance(s, t);
        if (d < best.distance) {
          best = {s, t, d};
          moved = true;
        }
      }
    if (!moved) {
      hs *= 0.5;
      ht *= 0.5;
    }
  }
  return best;
}

bool Closest(const ON_Surface &S, const ON_3dPoint &P, Found &found, double maximum = 0.0,
             const ON_Interval *sdomain = nullptr, const ON_Interval *tdomain = nullptr)
{
  if (!S.GetClosestPoint(P, &found.s, &found.t, maximum, sdomain, tdomain))
    return false;
  found.distance = (S.PointAt(found.s, found.t) - P).Length();
  return true;
}

ON_NurbsSurface WavySurface(bool rational)
{
  return opennurbs_test::Grid(rational, 4, 3, 9, 8, [&](int i, int j) {
    const double w = rational ? 0.6 + 0.15 * ((i + 2 * j) % 5) : 1.0;
    return ON_4dPoint(w * i, w * j, w * (1.5 * std::sin(1.3 * i) * std::cos(0.9 * j)), w);
  });
}

// A sheet that runs out along +x, turns up and comes back above itself.
ON_NurbsSurface FoldedSurface()
{
  const double x[] = {0, 2, 4, 5.5, 5.5, 4, 2, 0}, z[] = {0, 0, 0, 0.3, 1.7, 2, 2, 2};
  return opennurbs_test::Grid(false, 3, 3, 8, 4, [&](int i, int j) {
    return ON_3dPoint(x[i], 1.2 * j, z[i] + 0.2 * std::sin(3.0 * j + i));
  });
}

// A negative middle weight in s: the denominator stays positive, but the
// control net no longer bounds the surface.
ON_NurbsSurface NegativeWeightSurface()
{
  return opennurbs_test::Grid(true, 3, 3, 3, 4, [](int i, int j) {
    const double w = i == 1 ? -0.2 : 1.0;
    return ON_4dPoint(w * i, w * j, w * (i == 1 ? 1.0 : 0.3 * j), w);
  });
}

// Biquadratic net of a noisy scan with a step, where about a third of the
// points dropped to the floor: spikes one span wide. Weights 1 when rational.
ON_NurbsSurface RoughSurface(bool rational)
{
  return opennurbs_test::Grid(rational, 3, 3, 12, 11, [&](int i, int j) {
    const unsigned hash = unsigned(i * 7919 + j * 104729) * 2654435761u;
    const double noise = 0.05 * double(hash >> 20 & 255) / 255.0;
    const double z = (hash >> 8 & 7) < 3 ? -3.0 : (i > 6 ? 1.5 : 0.0) + noise;
    return ON_4dPoint(0.5 * i, 0.5 * j, z, 1.0);
  });
}

TEST(NurbsClosestPoint, NeverFartherThanADenseSearch)
{
  const struct
  {
    const char *name;
    ON_NurbsSurface surface;
    ON_3dPoint lo, hi; // query box, beyond the footprint
  } cases[] = {
      {"wavy", WavySurface(false), ON_3dPoint(-3, -3, -4), ON_3dPoint(10, 10, 4)},
      {"wavy rational", WavySurface(true), ON_3dPoint(-3, -3, -4), ON_3dPoint(10, 10, 4)},
      {"folded", FoldedSurface(), ON_3dPoint(-2, -2, -1.5), ON_3dPoint(8, 5, 3.5)},
      {"negative weight", NegativeWeightSurface(), ON_3dPoint(-2, -2, -2), ON_3dPoint(4, 5, 2)},
      {"rough", RoughSurface(false), ON_3dPoint(-1, -1, -4), ON_3dPoint(6.5, 6, 3)},
      {"rough, weights 1", RoughSurface(true), ON_3dPoint(-1, -1, -4), ON_3dPoint(6.5, 6, 3)},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const ON_NurbsSurface &S = c.surface;
    ASSERT_TRUE(S.IsValid());
    const ON_Interval sd = S.Domain(0), td = S.Domain(1);
    const double size = (c.hi - c.lo).Length();
    uint64_t state = 12345;
    const auto next = [&state](double lo, double hi) {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      return lo + (hi - lo) * double(state >> 11) / double(1ULL << 53);
    };
    for (int k = 0; k < 30; ++k) {
      ON_3dPoint P(next(c.lo.x, c.hi.x), next(c.lo.y, c.hi.y), next(c.lo.z, c.hi.z));
      if (k % 5 == 0) // exactly on the surface
        P = S.PointAt(next(sd[0], sd[1]), next(td[0], td[1]));
      if (k % 5 == 1) // a control point, as the probe offset asks
        S.GetCV(int(next(0, S.CVCount(0))), int(next(0, S.CVCount(1))), P);
      Found found;
      ASSERT_TRUE(Closest(S, P, found));
      const Found reference = DenseClosest(S, P, sd[0], sd[1], td[0], td[1]);
      EXPECT_LE(found.distance, reference.distance + 1e-9 * size)
          << "P=(" << P.x << "," << P.y << "," << P.z << ")";
      EXPECT_TRUE(sd.Includes(found.s) && td.Includes(found.t));
      if (k % 5 == 0) {
        EXPECT_LT(found.distance, 1e-10 * size);
      }
    }
  }
}

TEST(NurbsClosestPoint, FindsPointsOnATightFoldOfANegativeWeightPatch)
{
  // Near s = 1 the negative weight folds the sheet back within a few
  // hundredths in x and z while t moves fast in y: a coarse grid of samples
  // sees another sheet of the fold as nearer. Every point of the surface must
  // still be found on it.
  const ON_NurbsSurface S = NegativeWeightSurface();
  int missed = 0;
  double worst = 0.0;
  for (int i = 0; i <= 40; ++i)
    for (int j = 0; j < 40; ++j) {
      const ON_3dPoint P = S.PointAt(0.85 + 0.15 * i / 40.0, 0.0123 + 2.0 * j / 40.0);
      Found found;
      ASSERT_TRUE(Closest(S, P, found));
      if (found.distance > 1e-10) {
        ++missed;
        worst = std::fmax(worst, found.distance);
      }
    }
  EXPECT_EQ(missed, 0) << "worst " << worst;

  // Restricted to part of the fold, down to a single t: still the best of
  // that part.
  const ON_3dPoint P(2.3, 1.2, 0.5);
  const ON_Interval sdomain(0.9, 1.0), tdomains[] = {ON_Interval(1.0, 1.7), ON_Interval(1.5, 1.5)};
  for (const ON_Interval &tdomain : tdomains) {
    Found found;
    ASSERT_TRUE(Closest(S, P, found, 0.0, &sdomain, &tdomain));
    EXPECT_TRUE(sdomain.Includes(found.s) && tdomain.Includes(found.t));
    const Found reference = DenseClosest(S, P, 0.9, 1.0, tdomain[0], tdomain[1]);
    EXPECT_LE(found.distance, reference.distance + 1e-12);
  }
}

TEST(NurbsClosestPoint, GlobalMinimumAndKnownAnswers)
{
  // Below the lower layer of the fold, above the upper one and just under it:
  // the nearest layer wins although the other is a local minimum too.
  const ON_NurbsSurface folded = FoldedSurface();
  Found found;
  for (double z : {-0.6, 1.3, 2.8}) {
    ASSERT_TRUE(Closest(folded, ON_3dPoint(2.0, 1.8, z), found));
    EXPECT_EQ(folded.PointAt(found.s, found.t).z > 1.0, z > 1.0) << z;
  }

  const ON_NurbsSurface wavy = WavySurface(false);
  // Beyond the s = 0 edge and above it: the nearest point lies just inside,
  // behind a sample on the edge that looks nearer and leads to a minimum
  // along the edge (3.1627).
  const ON_3dPoint beyond(-1.8848810046059834, 1.047654781881592, 2.5397052533384512);
  ASSERT_TRUE(Closest(wavy, beyond, found));
  EXPECT_LE(found.distance, DenseClosest(wavy, beyond, 0, 6, 0, 6).distance + 1e-12);
  EXPECT_GT(found.s, 0.0);
  for (double s : {0.0, 0.3, 2.0, 4.71, 6.0})
    for (double t : {0.0, 1.0, 3.3, 6.0}) {
      ASSERT_TRUE(Closest(wavy, wavy.PointAt(s, t), found));
      EXPECT_NEAR(found.s, s, 1e-9);
      EXPECT_NEAR(found.t, t, 1e-9);
    }

  // From inside a cylinder of radius 1: 1 - the distance from the axis.
  ASSERT_TRUE(Closest(opennurbs_test::QuarterCylinder(), ON_3dPoint(0.2, 0.3, 1.1), found));
  EXPECT_NEAR(found.distance, 1.0 - std::hypot(0.2, 0.3), 1e-12);

  // The sampling search of the base class agrees.
  const ON_NurbsSurface Q = opennurbs_test::QuadraticExample();
  for (const ON_3dPoint &P :
       {ON_3dPoint(1.2, 0.3, 2.0), ON_3dPoint(-1, 3, 0), ON_3dPoint(2.5, 0.5, -1)}) {
    double s1 = 0, t1 = 0, s2 = 0, t2 = 0;
    ASSERT_TRUE(Q.GetClosestPoint(P, &s1, &t1));
    ASSERT_TRUE(Q.ON_Surface::GetClosestPoint(P, &s2, &t2));
    EXPECT_NEAR((Q.PointAt(s1, t1) - P).Length(), (Q.PointAt(s2, t2) - P).Length(), 1e-12);
  }
}

TEST(NurbsClosestPoint, PlaneProjectionCornersDomainsAndDistanceLimit)
{
  const ON_NurbsSurface plane = opennurbs_test::Flat(6, 5);
  const ON_3dPoint above(2.3, 1.7, 1.0), foot(2.3, 1.7, 0);
  Found found;
  ASSERT_TRUE(Closest(plane, above, found));
  EXPECT_LT((plane.PointAt(found.s, found.t) - foot).Length(), 1e-12);
  // Beyond a corner and beyond an edge: on the domain boundary exactly.
  ASSERT_TRUE(Closest(plane, ON_3dPoint(-1, -2, 3), found));
  EXPECT_TRUE(found.s == 0.0 && found.t == 0.0);
  ASSERT_TRUE(Closest(plane, ON_3dPoint(9, 2.5, -1), found));
  EXPECT_EQ(found.s, 4.0);
  EXPECT_NEAR(plane.PointAt(found.s, found.t).y, 2.5, 1e-12);

  // Restricted domains (either order of the ends) end on their boundary.
  const ON_Interval sdomain(2.0, 1.0), tdomain(0.5, 2.5);
  ASSERT_TRUE(Closest(plane, ON_3dPoint(4.5, 1.5, 0.2), found, 0.0, &sdomain, &tdomain));
  EXPECT_EQ(found.s, 2.0);
  const Found reference = DenseClosest(plane, ON_3dPoint(4.5, 1.5, 0.2), 1.0, 2.0, 0.5, 2.5);
  EXPECT_LE(found.distance, reference.distance + 1e-12);
  ASSERT_TRUE(Closest(plane, above, found, 0.0, &sdomain, nullptr));
  EXPECT_LT((plane.PointAt(found.s, found.t) - foot).Length(), 1e-12);
  // A restriction beyond the domain is cut to it; a single value is a curve.
  const ON_Interval wide(-5.0, 50.0), single(1.5, 1.5);
  ASSERT_TRUE(Closest(plane, ON_3dPoint(9, 9, 0), found, 0.0, &wide, &single));
  EXPECT_TRUE(found.s == 4.0 && found.t == 1.5);

  // Distance limit, exactly 1 away; failures leave the outputs alone.
  const ON_3dPoint P(2, 1.5, 1);
  const ON_Interval outside(5.0, 6.0), unset;
  double s = 42.0, t = 43.0;
  EXPECT_FALSE(plane.GetClosestPoint(P, &s, &t, 0.0, &outside));
  EXPECT_FALSE(plane.GetClosestPoint(P, &s, &t, 0.0, nullptr, &unset));
  EXPECT_FALSE(plane.GetClosestPoint(P, &s, &t, 0.5));
  EXPECT_FALSE(plane.GetClosestPoint(P, &s, &t, 0.999999));
  EXPECT_TRUE(s == 42.0 && t == 43.0);
  EXPECT_TRUE(plane.GetClosestPoint(P, &s, &t, 1.0));
  EXPECT_TRUE(plane.GetClosestPoint(P, &s, &t, -1.0));
}

TEST(NurbsClosestPoint, RejectsInvalidInput)
{
  const ON_NurbsSurface plane = opennurbs_test::Flat(4, 4);
  const ON_3dPoint P(1, 1, 1);
  double s = 42.0, t = 43.0;
  EXPECT_FALSE(plane.GetClosestPoint(P, nullptr, &t));
  EXPECT_FALSE(plane.GetClosestPoint(P, &s, nullptr));
  EXPECT_FALSE(plane.GetClosestPoint(ON_3dPoint::UnsetPoint, &s, &t));
  EXPECT_FALSE(plane.GetClosestPoint(ON_3dPoint(ON_DBL_QNAN, 1, 1), &s, &t));
  EXPECT_FALSE(ON_NurbsSurface().GetClosestPoint(P, &s, &t));
  ON_NurbsSurface broken = plane;
  broken.SetCV(1, 1, ON_3dPoint(ON_DBL_PINF, 0, 0));
  EXPECT_FALSE(broken.GetClosestPoint(P, &s, &t));
  EXPECT_TRUE(s == 42.0 && t == 43.0);
  broken.SetCV(1, 1, ON_3dPoint(1, 1, 0)); // repaired through a member
  EXPECT_TRUE(broken.GetClosestPoint(P, &s, &t));
}

TEST(NurbsClosestPoint, CachedHierarchyFollowsEveryChange)
{
  ON_NurbsSurface S = opennurbs_test::Flat(6, 6);
  const ON_3dPoint P(2.5, 2.5, 10.0);
  Found before, after;
  ASSERT_TRUE(Closest(S, P, before));
  EXPECT_NEAR(before.distance, 10.0, 1e-12);
  ON_NurbsSurface copy = S;

  // A control point raised towards P through SetCV, lowered by a direct write
  // followed by DestroySurfaceTree.
  S.SetCV(3, 3, ON_3dPoint(3, 3, 8));
  ASSERT_TRUE(Closest(S, P, after));
  EXPECT_LT(after.distance, 9.0);
  S.m_cv[3 * S.m_cv_stride[0] + 3 * S.m_cv_stride[1] + 2] = -8.0;
  S.DestroySurfaceTree();
  ASSERT_TRUE(Closest(S, P, after));
  EXPECT_GT(after.distance, 10.0);
  // Knots changed through the surface's members: domain now [0, 8].
  S.SetCV(3, 3, ON_3dPoint(3, 3, 0));
  S.MakeClampedUniformKnotVector(0, 2.0);
  ASSERT_TRUE(Closest(S, P, after));
  EXPECT_NEAR(after.distance, 10.0, 1e-12);
  EXPECT_GT(after.s, 3.0);

  // The copy keeps its own hierarchy; assignment and Create bring new shapes.
  ASSERT_TRUE(Closest(copy, P, after));
  EXPECT_TRUE(after.s == before.s && after.t == before.t);
  copy = WavySurface(false);
  const ON_3dPoint Q(3.1, 2.2, 2.0);
  ASSERT_TRUE(Closest(copy, Q, after));
  EXPECT_NEAR(after.distance, DenseClosest(copy, Q, 0, 6, 0, 6).distance, 1e-9);
  ASSERT_TRUE(S.Create(3, false, 3, 3, 3, 3));
  S.MakeClampedUniformKnotVector(0);
  S.MakeClampedUniformKnotVector(1);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      S.SetCV(i, j, ON_3dPoint(i, j, 1.0));
  ASSERT_TRUE(Closest(S, P, after));
  EXPECT_NEAR(after.distance, std::sqrt(81.5), 1e-12); // corner (2, 2, 1)
}

} // namespace
