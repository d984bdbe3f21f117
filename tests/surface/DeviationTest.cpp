// The deviation report: signed distances from a cloud to a surface, against
// surfaces and points whose deviations are known.
#include "Matrices.h"
#include "support/PointCloudGenerator.h"
#include "surface/DeviationStatistics.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

using pelmora::test::Random;

const ON_3dVector kDown(0, 0, -1);

// n x n control points on z = height(x, y) over [-half, half]^2.
ON_NurbsSurface heightSurface(int n, double half,
                              const std::function<double(double, double)> &height)
{
  const double step = 2.0 * half / (n - 1);
  ON_3dPointArray matrix =
      Grid(n, n, step, [&](int r, int c) { return height(-half + c * step, -half + r * step); });
  for (int k = 0; k < matrix.Count(); ++k) {
    matrix[k].x -= half;
    matrix[k].y -= half;
  }
  ON_NurbsSurface surface;
  EXPECT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(surface, matrix, n, n, 0));
  return surface;
}

double sphereCap(double x, double y)
{
  return std::sqrt(50.0 * 50.0 - x * x - y * y);
}

// Points a known signed distance off the surface along its normal, at
// random parameters away from the edges.
struct KnownCloud
{
  ON_3dPointArray points;
  std::vector<double> offsets;
};

KnownCloud offSurface(const ON_NurbsSurface &surface, int count, double spread, double base,
                      std::uint64_t seed)
{
  Random random(seed);
  KnownCloud cloud;
  const ON_Interval u = surface.Domain(0), v = surface.Domain(1);
  for (int i = 0; i < count; ++i) {
    const double s = u.ParameterAt(random.Uniform(0.05, 0.95));
    const double t = v.ParameterAt(random.Uniform(0.05, 0.95));
    const double h = random.Uniform(-spread, spread);
    cloud.points.Append(surface.PointAt(s, t) + (base + h) * surface.NormalAt(s, t));
    cloud.offsets.push_back(h);
  }
  return cloud;
}

} // namespace

TEST(MeasureDeviations, PointsAKnownDistanceOffASphereCapGiveThatDistanceWithAndWithoutAProbe)
{
  const ON_NurbsSurface cap = heightSurface(30, 20.0, sphereCap);
  for (const double diameter : {0.0, 3.0}) {
    SCOPED_TRACE(diameter);
    // Probe centres lie a radius off on the normal's side.
    const KnownCloud cloud = offSurface(cap, 2000, 0.4, 0.5 * diameter, 7);
    PMDeviationReport report;
    ON_SimpleArray<double> deviations;
    ON_2dPointArray parameters;
    ASSERT_EQ(1, PMSurface::MeasureDeviations(cloud.points, cap, kDown, diameter, 0.3, report,
                                              &deviations, &parameters));
    ASSERT_EQ(cloud.points.Count(), deviations.Count());
    ASSERT_EQ(cloud.points.Count(), parameters.Count());
    double sum = 0.0, squares = 0.0;
    int beyond = 0;
    std::vector<double> magnitudes;
    for (int i = 0; i < cloud.points.Count(); ++i) {
      const double h = cloud.offsets[i];
      ASSERT_NEAR(h, deviations[i], 1e-7) << "point " << i;
      sum += h;
      squares += h * h;
      beyond += std::fabs(h) > 0.3;
      magnitudes.push_back(std::fabs(h));
    }
    std::sort(magnitudes.begin(), magnitudes.end());
    EXPECT_EQ(2000, report.measured);
    EXPECT_EQ(0, report.skipped);
    EXPECT_NEAR(sum / 2000, report.mean, 1e-7);
    EXPECT_NEAR(std::sqrt(squares / 2000), report.rms, 1e-7);
    EXPECT_NEAR(magnitudes[1899], report.percentile95, 1e-7);
    EXPECT_NEAR(magnitudes.back(), std::fabs(report.maximum), 1e-7);
    EXPECT_EQ(beyond, report.beyondTolerance);
    EXPECT_EQ(0.3, report.tolerance);
  }
}

TEST(MeasureDeviations, PlaneWithGaussianNoiseGivesTheNoiseStatistics)
{
  const double sigma = 0.1;
  const ON_NurbsSurface plane = heightSurface(50, 50.0, [](double, double) { return 2.0; });
  pelmora::test::CloudSpec spec;
  spec.xmin = spec.ymin = -45.0;
  spec.xmax = spec.ymax = 45.0;
  spec.count = 40000;
  spec.height = [](double, double) { return 2.0; };
  spec.noise = sigma;
  const ON_3dPointArray cloud = pelmora::test::MakeCloud(spec);
  PMDeviationReport report;
  ASSERT_EQ(1, PMSurface::MeasureDeviations(cloud, plane, kDown, 0.0, 2.0 * sigma, report));
  EXPECT_NEAR(sigma, report.rms, 0.02 * sigma);
  EXPECT_NEAR(0.0, report.mean, 4.0 * sigma / std::sqrt(40000.0));
  EXPECT_NEAR(1.96 * sigma, report.percentile95, 0.04 * sigma);
  EXPECT_NEAR(0.0455, double(report.beyondTolerance) / report.measured, 0.004);
  EXPECT_GT(std::fabs(report.maximum), 3.5 * sigma);
  EXPECT_NEAR(2.0 + report.maximum, report.maximumPoint.z, 1e-9); // normal up: above is positive
}

TEST(MeasureDeviations, AgreesWithTheExactSearchAlsoFarFromTheSurfaceAndAlongAnyDirection)
{
  auto wave = [](double x, double y) { return 4.0 * std::sin(x / 4.0) * std::cos(y / 5.0); };
  const ON_NurbsSurface wavy = heightSurface(60, 30.0, wave);
  Random random(3);
  ON_3dPointArray points;
  for (int i = 0; i < 3000; ++i) { // close to the surface, and up to 20 off it and beyond it
    const double x = random.Uniform(-35, 35), y = random.Uniform(-35, 35);
    points.Append(
        ON_3dPoint(x, y, i % 3 ? wave(x, y) + random.Uniform(-0.4, 0.4) : random.Uniform(-20, 20)));
  }
  PMDeviationReport report;
  ON_SimpleArray<double> deviations;
  ASSERT_EQ(1, PMSurface::MeasureDeviations(points, wavy, kDown, 0.0, 1.0, report, &deviations));
  for (int i = 0; i < points.Count(); ++i) {
    double s = 0, t = 0;
    ASSERT_TRUE(wavy.GetClosestPoint(points[i], &s, &t));
    ASSERT_NEAR(wavy.PointAt(s, t).DistanceTo(points[i]), std::fabs(deviations[i]), 1e-9)
        << "point " << i;
  }

  // The same scene turned so that the drape direction is (1, 2, -0.5).
  const ON_3dVector direction(1, 2, -0.5);
  ON_3dPointArray turnedPoints(points), controlPoints;
  PMSurface::TransformPoints(turnedPoints, direction, 0, 0);
  for (int j = 0; j < 60; ++j)
    for (int i = 0; i < 60; ++i) {
      ON_3dPoint p;
      wavy.GetCV(i, j, p);
      controlPoints.Append(p);
    }
  PMSurface::TransformPoints(controlPoints, direction, 0, 0);
  ON_NurbsSurface turned;
  ASSERT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(turned, controlPoints, 60, 60, 0));
  PMDeviationReport turnedReport;
  ON_SimpleArray<double> turnedDeviations;
  ASSERT_EQ(1, PMSurface::MeasureDeviations(turnedPoints, turned, direction, 0.0, 1.0, turnedReport,
                                            &turnedDeviations));
  for (int i = 0; i < points.Count(); ++i)
    ASSERT_NEAR(deviations[i], turnedDeviations[i], 1e-8) << "point " << i;
  EXPECT_EQ(report.beyondTolerance, turnedReport.beyondTolerance);
}

TEST(MeasureDeviations, SkipsPointsItCannotMeasureAndRefusesWhatItCannotMeasureAgainst)
{
  const ON_NurbsSurface plane = heightSurface(5, 1.0, [](double, double) { return 0.0; });
  const ON_3dPointArray points = Points({{0, 0, 0.5}, {NAN, 0, 0}, {0.2, 0.1, -0.25}});
  PMDeviationReport report;
  ON_SimpleArray<double> deviations;
  ASSERT_EQ(1, PMSurface::MeasureDeviations(points, plane, kDown, 0.0, 0.1, report, &deviations));
  EXPECT_EQ(2, report.measured);
  EXPECT_EQ(1, report.skipped);
  EXPECT_NEAR(0.5, deviations[0], 1e-12);
  EXPECT_TRUE(std::isnan(deviations[1]));
  EXPECT_NEAR(-0.25, deviations[2], 1e-12);

  const struct
  {
    ON_NurbsSurface surface;
    ON_3dVector direction;
    double diameter;
  } refused[] = {{ON_NurbsSurface(), kDown, 0.0},
                 {plane, ON_3dVector(0, 0, 0), 0.0},
                 {plane, ON_3dVector(NAN, 0, -1), 0.0},
                 {plane, kDown, INFINITY}};
  for (const auto &c : refused) {
    PMDeviationReport untouched;
    untouched.measured = -3;
    EXPECT_EQ(0, PMSurface::MeasureDeviations(points, c.surface, c.direction, c.diameter, 0.1,
                                              untouched));
    EXPECT_EQ(-3, untouched.measured);
    EXPECT_FALSE(PMSurface::GetError().IsEmpty());
  }
}

TEST(DeviationStatistics, NearestRankPercentileAndTheFirstLargestMagnitude)
{
  const double values[] = {1.0, -2.0, NAN, 3.0, -0.5, -3.0};
  const ON_3dPointArray points =
      Points({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}});
  const PMDeviationReport report = pelmora::SummarizeDeviations(values, points.Array(), 6, 1.0);
  EXPECT_EQ(5, report.measured);
  EXPECT_EQ(1, report.skipped);
  EXPECT_DOUBLE_EQ(-1.5 / 5, report.mean);
  EXPECT_DOUBLE_EQ(std::sqrt(23.25 / 5), report.rms);
  EXPECT_DOUBLE_EQ(3.0, report.percentile95); // rank ceil(0.95 * 5) = 5 of 0.5, 1, 2, 3, 3
  EXPECT_DOUBLE_EQ(3.0, report.maximum);
  EXPECT_EQ(3.0, report.maximumPoint.x);
  EXPECT_EQ(3, report.beyondTolerance); // 1.0 itself is not beyond

  const PMDeviationReport none = pelmora::SummarizeDeviations(values + 2, points.Array(), 1, 1.0);
  EXPECT_EQ(0, none.measured);
  EXPECT_EQ(0.0, none.rms);
}
