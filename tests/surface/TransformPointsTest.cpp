// Point alignment: exact axis maps, the general rotation, round trips.
#include "Matrices.h"
#include "support/PointCloudGenerator.h"

#include <cmath>

namespace {

ON_3dPoint transformed(ON_3dPoint p, const ON_3dVector &direction, int invert)
{
  ON_3dPointArray points = Points({p});
  PMSurface::TransformPoints(points, direction, invert, 0);
  return points[0];
}

} // namespace

TEST(TransformPoints, AxisDirectionsExchangeCoordinatesExactly)
{
  const ON_3dPoint p(1, 2, 3);
  const struct
  {
    ON_3dVector direction; // any length
    ON_3dPoint aligned, back;
  } cases[] = {{{0, 0, 2}, {-1, 2, -3}, {-1, 2, -3}},
               {{0, 4, 0}, {1, 3, -2}, {1, -3, 2}},
               {{0, -1, 0}, {-1, 3, 2}, {-1, 3, 2}},
               {{-3, 0, 0}, {2, 3, 1}, {3, 1, 2}},
               {{1, 0, 0}, {-2, 3, -1}, {-3, -1, 2}}};
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::PrintToString(ON_3dPoint(c.direction)));
    EXPECT_EQ(c.aligned, transformed(p, c.direction, 1));
    EXPECT_EQ(p, transformed(c.aligned, c.direction, 0));
    EXPECT_EQ(c.back, transformed(p, c.direction, 0));
  }
  // Straight down, zero and non-finite directions leave the points alone.
  for (ON_3dPoint d : {ON_3dPoint(0, 0, -2), ON_3dPoint(0, 0, 0), ON_3dPoint(NAN, 0, -1),
                       ON_3dPoint(INFINITY, 0, 0)})
    for (int invert = 0; invert <= 1; ++invert)
      EXPECT_EQ(p, transformed(p, ON_3dVector(d), invert)) << testing::PrintToString(d) << invert;
}

TEST(TransformPoints, GeneralDirectionUsesThePlaneWithNormalMinusDirection)
{
  // Back maps the world axes onto the frame of the plane through the origin
  // with normal -unit(1, 2, 3).
  const ON_3dPoint frame[] = {{0, -0.83205029433784361, 0.55470019622522904},
                              {-0.96362411165943163, 0.14824986333222023, 0.22237479499833035},
                              {-0.2672612419124244, -0.53452248382484879, -0.8017837257372733}};
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(frame[i], transformed(ON_3dPoint(i == 0, i == 1, i == 2), ON_3dVector(1, 2, 3), 0));
  // A hair off the axis is not snapped to it.
  const double z = transformed(ON_3dPoint(1, 2, 3), ON_3dVector(1e-12, 0, -1), 1).z;
  EXPECT_NE(3.0, z);
  EXPECT_NEAR(3.0, z, 1e-9);
}

TEST(TransformPoints, RoundTripsReturnEveryPointAndAlignTheDirection)
{
  pelmora::test::Random random(7);
  auto uniform = [&](double half) { return random.Uniform(-half, half); };
  for (int trial = 0; trial < 200; ++trial) {
    const ON_3dVector direction{uniform(2), uniform(2), uniform(2)}; // in this order
    ON_3dPointArray start;
    for (int i = 0; i < 20; ++i)
      start.Append(ON_3dPoint{uniform(50), uniform(50), uniform(25)});
    ON_3dPointArray points = start;
    PMSurface::TransformPoints(points, direction, 1, trial % 50 == 0);
    PMSurface::TransformPoints(points, direction, 0, 0);
    for (int i = 0; i < points.Count(); ++i)
      ASSERT_LT(points[i].DistanceTo(start[i]), 1e-12) << "trial " << trial << " point " << i;
    ON_3dVector unit = direction;
    unit.Unitize();
    ASSERT_LT(transformed(unit, direction, 1).DistanceTo(ON_3dPoint(0, 0, -1)), 1e-15) << trial;
  }
  // A finite direction too long to measure directly still aligns.
  const ON_3dPoint tip = transformed(ON_3dPoint(M_SQRT1_2, M_SQRT1_2, 0), {1e308, 1e308, 0}, 1);
  EXPECT_LT(tip.DistanceTo(ON_3dPoint(0, 0, -1)), 1e-15);
}
