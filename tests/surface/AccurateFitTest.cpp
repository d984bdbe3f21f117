// The accurate fit: least squares through scattered probe centres and the
// ball's envelope, checked against parts whose true surface is known.
#include "PMSurface.h"
#include "opennurbs/ParallelFor.h"
#include "support/PointCloudGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

using pelmora::test::CloudSpec;

constexpr double kProbeRadius = 1.5; // a 3 mm probe

struct Errors
{
  double max = 0.0, rms = 0.0;
  int count = 0;
};

// Errors of `surface` sampled densely, seen in the frame where `direction`
// points down, at the samples whose x and y pass `inside`; `error` gives a
// sample's signed distance to the truth.
Errors measure(const ON_NurbsSurface &surface, const ON_3dVector &direction,
               const std::function<bool(const ON_3dPoint &)> &inside,
               const std::function<double(const ON_3dPoint &)> &error)
{
  ON_3dPointArray samples;
  const ON_Interval u = surface.Domain(0), v = surface.Domain(1);
  const int n = 200;
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j)
      samples.Append(surface.PointAt(u.ParameterAt(i / double(n)), v.ParameterAt(j / double(n))));
  PMSurface::TransformPoints(samples, direction, 1, 0);
  Errors e;
  double sum = 0.0;
  for (int k = 0; k < samples.Count(); ++k) {
    if (!inside(samples[k]))
      continue;
    const double d = error(samples[k]);
    e.max = std::max(e.max, std::fabs(d));
    sum += d * d;
    ++e.count;
  }
  e.rms = e.count ? std::sqrt(sum / e.count) : 0.0;
  return e;
}

// A sphere of `radius` centred at the origin, seen from above.
double sphere(double radius, double x, double y)
{
  return std::sqrt(std::max(0.0, radius * radius - x * x - y * y));
}

// Centres of the ball rolled over a sphere lie on the sphere of radius
// R + r; `half` is the half width of the probed square.
ON_3dPointArray sphereCentres(double radius, double half, int count, double noise)
{
  CloudSpec spec;
  spec.xmin = spec.ymin = -half;
  spec.xmax = spec.ymax = half;
  spec.count = count;
  spec.noise = noise;
  const double centres = radius + kProbeRadius;
  spec.height = [centres](double x, double y) { return sphere(centres, x, y); };
  return pelmora::test::MakeCloud(spec);
}

// Inside the cap: where the ball touching the part has its centre at least
// 1 mm inside the probed square (so the balls around it were all probed).
std::function<bool(const ON_3dPoint &)> cap(double radius, double half)
{
  const double limit = (half - 1.0) * radius / (radius + kProbeRadius);
  return
      [limit](const ON_3dPoint &p) { return std::fabs(p.x) <= limit && std::fabs(p.y) <= limit; };
}

std::function<double(const ON_3dPoint &)> sphereDistance(double radius)
{
  return [radius](const ON_3dPoint &p) { return ON_3dVector(p).Length() - radius; };
}

int fit(ON_NurbsSurface &surface, PMFitReport &report, const ON_3dPointArray &points,
        const ON_3dVector &direction, int rows, int cols, double diameter, double smoothing = -1.0)
{
  return PMSurface::FitSurfaceToPoints(surface, report, points, direction, rows, cols, diameter,
                                       smoothing, 0);
}

} // namespace

TEST(FitSurfaceToPoints, BallRolledOverSpheresGivesThePartWithinProbeAccuracy)
{
  const struct
  {
    double radius, half, noise;
    int count, grid;
    double maxError, rmsError;
  } cases[] = {
      {50.0, 30.0, 0.0, 40000, 60, 0.01, 0.003},
      {50.0, 30.0, 0.005, 40000, 60, 0.02, 0.005},
      {5.0, 3.0, 0.0, 40000, 60, 0.01, 0.003},
  };
  const ON_3dVector down(0, 0, -1);
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "sphere " << c.radius << ", noise " << c.noise);
    const ON_3dPointArray centres = sphereCentres(c.radius, c.half, c.count, c.noise);
    ON_NurbsSurface surface;
    PMFitReport report;
    ASSERT_EQ(1, fit(surface, report, centres, down, c.grid, c.grid, 2.0 * kProbeRadius));
    EXPECT_TRUE(surface.IsValid());
    EXPECT_FALSE(surface.IsRational());
    EXPECT_EQ(c.grid, surface.CVCount(0));
    EXPECT_EQ(c.grid, surface.CVCount(1));
    const Errors e = measure(surface, down, cap(c.radius, c.half), sphereDistance(c.radius));
    EXPECT_GT(e.count, 10000);
    EXPECT_LT(e.max, c.maxError);
    EXPECT_LT(e.rms, c.rmsError);
    // A smooth convex part: the ball follows it everywhere.
    EXPECT_EQ(0, report.tight.Count());
    EXPECT_EQ(1, report.smoothingChosen);
    EXPECT_NEAR(c.noise, report.residualRms, 0.1 * c.noise + 1e-4);
  }
}

TEST(FitSurfaceToPoints, WithoutProbeTheSurfaceFollowsThePointsInEveryDirection)
{
  // The same centres seen along each direction: made in the aligned frame,
  // turned into the caller's, and the result read back in the aligned one.
  const ON_3dPointArray aligned = sphereCentres(20.0, 10.0, 10000, 0.0);
  const ON_3dVector directions[] = {{0, 0, -1}, {0, 0, 1},         {0, -2, 0},
                                    {1, 0, 0},  {0.3, -0.4, -0.8}, {-0.5, 0.1, 0.6}};
  for (const ON_3dVector &d : directions) {
    SCOPED_TRACE(testing::Message() << d.x << ", " << d.y << ", " << d.z);
    ON_3dPointArray points = aligned;
    PMSurface::TransformPoints(points, d, 0, 0);
    ON_NurbsSurface surface;
    PMFitReport report;
    ASSERT_EQ(1, fit(surface, report, points, d, 25, 25, 0.0));
    const Errors e = measure(surface, d, cap(20.0 - kProbeRadius, 10.0), sphereDistance(21.5));
    EXPECT_LT(e.max, 1e-3);
    EXPECT_EQ(0, report.tight.Count());
  }
}

TEST(FitSurfaceToPoints, ProbedFromBelowTheSurfaceLiesAboveTheCentres)
{
  // The part's underside, z = -sphere, probed from below: the direction
  // (0, 0, 1) turns the cloud over so that the probe is above again.
  ON_3dPointArray centres = sphereCentres(20.0, 10.0, 20000, 0.0);
  for (int i = 0; i < centres.Count(); ++i)
    centres[i].z = -centres[i].z;
  ON_NurbsSurface surface;
  PMFitReport report;
  const ON_3dVector up(0, 0, 1);
  ASSERT_EQ(1, fit(surface, report, centres, up, 30, 30, 2.0 * kProbeRadius));
  const Errors e = measure(surface, up, cap(20.0, 10.0), sphereDistance(20.0));
  EXPECT_LT(e.max, 0.01);
  const ON_3dPoint middle =
      surface.PointAt(surface.Domain(0).ParameterAt(0.5), surface.Domain(1).ParameterAt(0.5));
  EXPECT_NEAR(-20.0, middle.z, 0.01);
}

// A V groove along y with 30 degree flanks and a concave fillet of radius 2
// at its bottom; the 3 mm ball cannot reach the fillet and bridges it,
// touching both flanks.
TEST(FitSurfaceToPoints, FilletTighterThanTheBallGivesTheBallsBridgeAndIsReported)
{
  const double angle = 30.0 * ON_PI / 180.0, fillet = 2.0, r = 3.0; // ball radius
  const double touch = fillet * std::sin(angle);
  const auto part = [=](double x, double) {
    const double a = std::fabs(x);
    return a >= touch ? a * std::tan(angle)
                      : fillet / std::cos(angle) - std::sqrt(fillet * fillet - x * x);
  };
  // What the ball can reach: the flanks, and between its two contacts the
  // ball itself, resting on both flanks.
  const double contact = r * std::sin(angle);
  const auto reach = [=](double x) {
    return std::fabs(x) >= contact ? std::fabs(x) * std::tan(angle)
                                   : r / std::cos(angle) - std::sqrt(r * r - x * x);
  };
  CloudSpec spec;
  spec.xmin = -4.5, spec.xmax = 4.5, spec.ymin = -1.5, spec.ymax = 1.5;
  spec.count = 30000;
  spec.height = part;
  const ON_3dPointArray centres = pelmora::test::MakeRolledBallCentres(spec, r);

  ON_NurbsSurface surface;
  PMFitReport report;
  const ON_3dVector down(0, 0, -1);
  ASSERT_EQ(1, fit(surface, report, centres, down, 40, 260, 2.0 * r));
  const Errors e = measure(
      surface, down,
      [](const ON_3dPoint &p) { return std::fabs(p.x) <= 2.5 && std::fabs(p.y) <= 0.75; },
      [&](const ON_3dPoint &p) { return p.z - reach(p.x); });
  EXPECT_LT(e.max, 0.01);
  // The bridge is reported, and only around the groove's bottom.
  ASSERT_GT(report.tight.Count(), 0);
  for (int i = 0; i < report.tight.Count(); ++i)
    ASSERT_LT(std::fabs(report.tight[i].x), contact + 0.5) << report.tight[i].y;
}

TEST(FitSurfaceToPoints, HolesAreFilledByThePenaltyNotByAFloor)
{
  // A quadratic bowl keeps its shape across interior holes under the
  // thin-plate filling (it solves the filling's equation there); a plane
  // is kept by any weight, also across a hole at the corner.
  const pelmora::test::HeightField bowl = [](double x, double y) {
    return 0.002 * (x - 40) * (x - 40) + 0.001 * x * y;
  };
  const pelmora::test::HeightField plane = [](double x, double y) { return 0.3 * x - 0.1 * y; };
  const struct
  {
    const pelmora::test::HeightField &height;
    double smoothing, tolerance;
    std::vector<pelmora::test::Hole> holes;
  } cases[] = {{bowl, -1.0, 1e-4, {{50.0, 50.0, 15.0}}},
               {bowl, 0.0, 1e-4, {{50.0, 50.0, 15.0}, {70.0, 20.0, 8.0}}},
               {plane, 10.0, 1e-8, {{50.0, 50.0, 15.0}, {0.0, 100.0, 20.0}}}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.smoothing);
    CloudSpec spec;
    spec.xmax = spec.ymax = 100.0;
    spec.count = 20000;
    spec.height = c.height;
    spec.holes = c.holes;
    spec.corners = true;
    ON_NurbsSurface surface;
    PMFitReport report;
    ASSERT_EQ(1, fit(surface, report, pelmora::test::MakeCloud(spec), ON_3dVector(0, 0, -1), 40, 40,
                     0.0, c.smoothing));
    const Errors e = measure(
        surface, ON_3dVector(0, 0, -1), [](const ON_3dPoint &) { return true; },
        [&](const ON_3dPoint &p) { return p.z - c.height(p.x, p.y); });
    EXPECT_LT(e.max, c.tolerance);
    EXPECT_EQ(c.smoothing < 0.0 ? 1 : 0, report.smoothingChosen);
    if (c.smoothing > 0.0) {
      EXPECT_EQ(c.smoothing, report.smoothing);
    }
    EXPECT_GT(report.smoothing, 0.0);
  }
}

TEST(FitSurfaceToPoints, ChosenWeightGrowsWithNoiseAndAHugeWeightLeavesTheBestPlane)
{
  CloudSpec spec;
  spec.xmax = spec.ymax = 50.0;
  spec.count = 20000;
  spec.height = [](double x, double y) { return 5.0 * std::sin(x / 8.0) * std::cos(y / 11.0); };
  double chosen[2];
  for (int noisy = 0; noisy < 2; ++noisy) {
    spec.noise = noisy ? 0.05 : 0.0;
    ON_NurbsSurface surface;
    PMFitReport report;
    ASSERT_EQ(1, fit(surface, report, pelmora::test::MakeCloud(spec), ON_3dVector(0, 0, -1), 40, 40,
                     0.0));
    EXPECT_EQ(1, report.smoothingChosen);
    chosen[noisy] = report.smoothing;
  }
  EXPECT_GT(chosen[1], 100.0 * chosen[0]);

  // Bending costs everything: what is left is the least-squares plane of
  // a tilted cloud with a zero-mean bump, i.e. the tilt itself.
  spec.noise = 0.0;
  spec.height = [](double x, double y) {
    return 0.3 * x - 0.2 * y + 4.0 * std::sin(x * ON_PI / 25.0) * std::sin(y * ON_PI / 25.0);
  };
  ON_NurbsSurface surface;
  PMFitReport report;
  ASSERT_EQ(1, fit(surface, report, pelmora::test::MakeCloud(spec), ON_3dVector(0, 0, -1), 20, 20,
                   0.0, 1e12));
  for (int i = 0; i < surface.CVCount(0); ++i)
    for (int j = 0; j < surface.CVCount(1); ++j) {
      const ON_3dPoint p(surface.CV(i, j));
      ASSERT_NEAR(0.3 * p.x - 0.2 * p.y, p.z, 0.15) << i << ", " << j;
    }
}

TEST(FitSurfaceToPoints, RefusedInputLeavesSurfaceAndReportAlone)
{
  const ON_3dPointArray good = sphereCentres(20.0, 5.0, 500, 0.0);
  ON_3dPointArray line;
  for (int i = 0; i < 50; ++i)
    line.Append(ON_3dPoint(i, 2.0, 1.0));
  ON_3dPointArray two;
  two.Append(ON_3dPoint(0, 0, 0));
  two.Append(ON_3dPoint(1, 1, 0));
  const double nan = std::nan("");
  ON_3dPointArray unusable;
  unusable.Append(ON_3dPoint(nan, 0, 0));
  unusable.Append(ON_3dPoint(1, 1, 1));
  unusable.Append(ON_3dPoint(2, 0, 1));
  const struct
  {
    const ON_3dPointArray &points;
    ON_3dVector direction;
    int rows, cols;
    double diameter, smoothing;
    const wchar_t *error;
  } cases[] = {
      {good, {0, 0, -1}, 2, 10, 0, -1, L"The surface needs at least 3 rows and 3 columns"},
      {good, {0, 0, -1}, 10, -1, 0, -1, L"The surface needs at least 3 rows and 3 columns"},
      {good, {0, 0, -1}, 4096, 1025, 0, -1, L"The surface has too many control points"},
      {two, {0, 0, -1}, 3, 3, 0, -1, L"Not enough points to fit a surface"},
      {unusable, {0, 0, -1}, 3, 3, 0, -1, L"Not enough points to fit a surface"},
      {line, {0, 0, -1}, 3, 3, 0, -1, L"The points have no extent across the direction"},
      {good, {0, 0, 0}, 5, 5, 0, -1, L"The direction must be finite and not zero"},
      {good, {nan, 0, -1}, 5, 5, 0, -1, L"The direction must be finite and not zero"},
      {good, {0, 0, -1}, 5, 5, -1, -1, L"The probe diameter must be finite and not negative"},
      {good, {0, 0, -1}, 5, 5, nan, -1, L"The probe diameter must be finite and not negative"},
      {good, {0, 0, -1}, 5, 5, 0, nan, L"The smoothing weight must be finite"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << CString(c.error).GetLength());
    ON_NurbsSurface surface;
    ASSERT_TRUE(surface.Create(3, false, 2, 2, 2, 2));
    PMFitReport report;
    report.smoothing = 7.0;
    EXPECT_EQ(0,
              fit(surface, report, c.points, c.direction, c.rows, c.cols, c.diameter, c.smoothing));
    EXPECT_TRUE(PMSurface::GetError() == CString(c.error));
    EXPECT_EQ(2, surface.CVCount(0));
    EXPECT_EQ(7.0, report.smoothing);
  }
}

TEST(FitSurfaceToPoints, PointsWithNonFiniteCoordinatesAreIgnored)
{
  ON_3dPointArray cloud = sphereCentres(20.0, 5.0, 3000, 0.0);
  ON_NurbsSurface clean;
  PMFitReport report;
  ASSERT_EQ(1, fit(clean, report, cloud, ON_3dVector(0, 0, -1), 8, 8, 1.0, 0.01));
  const double inf = HUGE_VAL;
  cloud.Append(ON_3dPoint(inf, 0, 0));
  cloud.Append(ON_3dPoint(0, std::nan(""), 0));
  ON_NurbsSurface dirty;
  ASSERT_EQ(1, fit(dirty, report, cloud, ON_3dVector(0, 0, -1), 8, 8, 1.0, 0.01));
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 8; ++j)
      EXPECT_EQ(ON_3dPoint(clean.CV(i, j)), ON_3dPoint(dirty.CV(i, j)));
}

TEST(FitSurfaceToPoints, SameSurfaceOnOneThreadAsOnAll)
{
  // Assembly, products and the envelope are split among threads; the split
  // must not change a bit of the result.
  const ON_3dPointArray centres = sphereCentres(50.0, 30.0, 60000, 0.005);
  ON_NurbsSurface surfaces[2];
  for (int threads : {1, 2}) {
    pelmora::SetThreadCount(threads);
    PMFitReport report;
    ASSERT_EQ(1, fit(surfaces[threads - 1], report, centres, ON_3dVector(0, 0, -1), 80, 80,
                     2.0 * kProbeRadius));
  }
  pelmora::SetThreadCount(0);
  for (int i = 0; i < 80; ++i)
    for (int j = 0; j < 80; ++j)
      ASSERT_EQ(ON_3dPoint(surfaces[0].CV(i, j)), ON_3dPoint(surfaces[1].CV(i, j)))
          << i << ", " << j;
}
