// Point alignment: exact axis maps, the general rotation, round trips.
#include "PMSurface.h"
#include "support/PointCloudGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

ON_3dPointArray onePoint(double x, double y, double z)
{
  ON_3dPointArray points;
  points.Append(ON_3dPoint(x, y, z));
  return points;
}

void expectSame(const ON_3dPoint &expected, const ON_3dPoint &actual)
{
  EXPECT_EQ(expected.x, actual.x);
  EXPECT_EQ(expected.y, actual.y);
  EXPECT_EQ(expected.z, actual.z);
}

struct AxisCase
{
  ON_3dVector direction; // need not be unit length
  ON_3dPoint aligned;    // image of (1, 2, 3) with invert != 0
  ON_3dPoint back;       // image of (1, 2, 3) with invert == 0
};

} // namespace

TEST(TransformPoints, AxisDirectionsExchangeCoordinatesExactly)
{
  const AxisCase cases[] = {
      {{0, 0, 2}, {-1, 2, -3}, {-1, 2, -3}}, {{0, 4, 0}, {1, 3, -2}, {1, -3, 2}},
      {{0, -1, 0}, {-1, 3, 2}, {-1, 3, 2}},  {{-3, 0, 0}, {2, 3, 1}, {3, 1, 2}},
      {{1, 0, 0}, {-2, 3, -1}, {-3, -1, 2}},
  };
  for (const AxisCase &c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.direction.x << "," << c.direction.y << "," << c.direction.z);
    ON_3dPointArray points = onePoint(1, 2, 3);
    PMSurface::TransformPoints(points, c.direction, 1, 0);
    expectSame(c.aligned, points[0]);
    PMSurface::TransformPoints(points, c.direction, 0, 0);
    expectSame(ON_3dPoint(1, 2, 3), points[0]);

    points = onePoint(1, 2, 3);
    PMSurface::TransformPoints(points, c.direction, 0, 1);
    expectSame(c.back, points[0]);

    // The direction itself is carried straight down.
    ON_3dVector unit = c.direction;
    unit.Unitize();
    points = onePoint(unit.x, unit.y, unit.z);
    PMSurface::TransformPoints(points, c.direction, 1, 0);
    expectSame(ON_3dPoint(0, 0, -1), points[0]);
  }
}

TEST(TransformPoints, StraightDownZeroAndNonFiniteDirectionsLeavePointsAlone)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const ON_3dVector directions[] = {{0, 0, -2}, {0, 0, 0}, {nan, 0, -1}, {INFINITY, 0, 0}};
  for (const ON_3dVector &direction : directions) {
    for (int invert = 0; invert <= 1; ++invert) {
      ON_3dPointArray points = onePoint(1, 2, 3);
      PMSurface::TransformPoints(points, direction, invert, 1);
      expectSame(ON_3dPoint(1, 2, 3), points[0]);
    }
  }
}

TEST(TransformPoints, GeneralDirectionUsesThePlaneWithNormalMinusDirection)
{
  // Back (invert 0) maps the world axes onto the frame of the plane through
  // the origin with normal -unit(1, 2, 3): the columns of the rotation.
  ON_3dPointArray axes;
  axes.Append(ON_3dPoint(1, 0, 0));
  axes.Append(ON_3dPoint(0, 1, 0));
  axes.Append(ON_3dPoint(0, 0, 1));
  const ON_3dVector direction(1, 2, 3);
  PMSurface::TransformPoints(axes, direction, 0, 0);
  expectSame(ON_3dPoint(0, -0.83205029433784361, 0.55470019622522904), axes[0]);
  expectSame(ON_3dPoint(-0.96362411165943163, 0.14824986333222023, 0.22237479499833035), axes[1]);
  expectSame(ON_3dPoint(-0.2672612419124244, -0.53452248382484879, -0.8017837257372733), axes[2]);
  EXPECT_EQ(1.0, direction.x); // the caller's vector is untouched

  // A direction a hair off the axis takes the general row: the points move.
  ON_3dPointArray points = onePoint(1, 2, 3);
  PMSurface::TransformPoints(points, ON_3dVector(1e-12, 0, -1), 1, 0);
  EXPECT_NE(3.0, points[0].z);
  EXPECT_NEAR(3.0, points[0].z, 1e-9);
}

TEST(TransformPoints, RoundTripsReturnEveryPointAndAlignTheDirection)
{
  pelmora::test::Random random(7);
  for (int trial = 0; trial < 200; ++trial) {
    const ON_3dVector direction(random.Uniform(-2, 2), random.Uniform(-2, 2),
                                random.Uniform(-2, 2));
    pelmora::test::CloudSpec spec;
    spec.xmin = spec.ymin = -50.0;
    spec.xmax = spec.ymax = 50.0;
    spec.count = 20;
    spec.height = [](double x, double y) { return 0.01 * x * y; };
    spec.seed = static_cast<std::uint64_t>(trial);
    const ON_3dPointArray start = pelmora::test::MakeCloud(spec);
    ON_3dPointArray points = start;
    PMSurface::TransformPoints(points, direction, 1, trial % 50 == 0);
    PMSurface::TransformPoints(points, direction, 0, 0);
    for (int i = 0; i < points.Count(); ++i)
      ASSERT_LT(points[i].DistanceTo(start[i]), 1e-12) << "trial " << trial << " point " << i;

    ON_3dVector unit = direction;
    unit.Unitize();
    ON_3dPointArray tip = onePoint(unit.x, unit.y, unit.z);
    PMSurface::TransformPoints(tip, direction, 1, 0);
    ASSERT_LT(tip[0].DistanceTo(ON_3dPoint(0, 0, -1)), 1e-15) << "trial " << trial;
  }

  // A finite direction too long to measure directly still aligns.
  ON_3dPointArray tip = onePoint(0.70710678118654752, 0.70710678118654752, 0);
  PMSurface::TransformPoints(tip, ON_3dVector(1e308, 1e308, 0), 1, 0);
  EXPECT_LT(tip[0].DistanceTo(ON_3dPoint(0, 0, -1)), 1e-15);
}
