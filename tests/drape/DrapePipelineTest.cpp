// DrapeSurface from end to end with no window toolkit: the parameters window
// cannot open, so the suggestion and a probe diameter of 0 are used.
#include "PMSurface.h"
#include "PMToolkit.h"
#include "drape/HeightFieldCloud.h"
#include "framework/AfxModule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace drape_test;

namespace {

constexpr int kSide = 41; // samples per side; also the suggested rows and columns
constexpr double kSpacing = 2.0 / (kSide - 1);
const ON_3dVector kDown(0.0, 0.0, -1.0);

class DrapePipeline : public ::testing::Test
{
protected:
  static void SetUpTestSuite() { PMSelectToolkit(PMToolkitKind::None); }

  struct Result
  {
    int result = -1;
    int rows = -7, cols = -7;
    ON_3dPointArray matrix;
    ON_NurbsSurface surface;
  };

  static Result drape(const ON_3dPointArray &points, const ON_3dVector &direction,
                      int interpolate = 1)
  {
    Result r;
    r.result = PMSurface::DrapeSurface(r.matrix, r.rows, r.cols, r.surface, points, direction,
                                       interpolate, 0, nullptr);
    return r;
  }
};

// The lowest and highest value of `field` over the square of half-width
// `radius` around (x, y), sampled densely.
void fieldRange(const HeightField &field, double x, double y, double radius, double &low,
                double &high)
{
  low = HUGE_VAL;
  high = -HUGE_VAL;
  for (int i = 0; i <= 20; ++i)
    for (int j = 0; j <= 20; ++j) {
      const double z = field(x - radius + i * radius / 10, y - radius + j * radius / 10);
      low = std::min(low, z);
      high = std::max(high, z);
    }
}

bool sameBits(const ON_3dPointArray &a, const ON_3dPointArray &b)
{
  return a.Count() == b.Count() &&
         std::memcmp(a.Array(), b.Array(), sizeof(ON_3dPoint) * a.Count()) == 0;
}

} // namespace

// No window can open: the values come back as they went in, with result 1,
// and the caller's module state is back.
TEST_F(DrapePipeline, ParametersWithoutAWindowComeBackUnchanged)
{
  AFX_MODULE_STATE *before = AfxGetModuleState();
  int rows = 0, cols = -4;
  double diameter = -2.5;
  PMSurface::SetError(L"older");
  EXPECT_EQ(PMSurface::GetSurfaceParameters(rows, cols, diameter, nullptr), 1);
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(cols, -4);
  EXPECT_EQ(diameter, -2.5);
  EXPECT_EQ(PMSurface::GetError(), L"older");
  EXPECT_EQ(AfxGetModuleState(), before);
}

// Every node carries a height that the field takes within one grid step of
// the node, on smooth fields and across a step; the grid lies on the
// cloud's box; the caller's cloud is not changed.
TEST_F(DrapePipeline, ReproducesKnownHeightFieldsWithinTheGridSpacing)
{
  const struct
  {
    const char *name;
    HeightField field;
  } cases[] = {{"dome", dome}, {"saddle", saddle}, {"step", step}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const ON_3dPointArray cloud = jitteredGrid(kSide, c.field, 0.3);
    const ON_3dPointArray before(cloud);
    const Result r = drape(cloud, kDown);
    ASSERT_EQ(r.result, 1);
    ASSERT_EQ(r.rows, kSide);
    ASSERT_EQ(r.cols, kSide);
    ASSERT_EQ(r.matrix.Count(), kSide * kSide);
    EXPECT_TRUE(r.surface.IsValid());
    EXPECT_TRUE(sameBits(cloud, before));
    int outside = 0;
    for (int row = 0; row < kSide; ++row)
      for (int col = 0; col < kSide; ++col) {
        const ON_3dPoint &node = r.matrix[row * kSide + col];
        EXPECT_NEAR(node.x, -1.0 + col * kSpacing, 1e-12);
        EXPECT_NEAR(node.y, -1.0 + row * kSpacing, 1e-12);
        double low, high;
        fieldRange(c.field, node.x, node.y, kSpacing, low, high);
        outside += node.z < low - 1e-12 || node.z > high + 1e-12;
      }
    EXPECT_EQ(outside, 0);
  }
}

// Turning the cloud and draping along the turned direction gives the matrix
// of the unturned drape, turned the same way. (A 3 x 2 cloud keeps the
// suggested counts away from the truncation edges that a turn could move.)
TEST_F(DrapePipeline, TurnedCloudAlongTurnedDirectionGivesTurnedMatrix)
{
  const ON_3dPointArray cloud = uniformCloud(1500, 3.0, 2.0, saddle);
  const Result straight = drape(cloud, kDown);
  ASSERT_EQ(straight.result, 1);
  ASSERT_EQ(straight.rows, 31);
  ASSERT_EQ(straight.cols, 46);
  const ON_3dVector directions[] = {ON_3dVector(1, 0, 0), ON_3dVector(0, -3, 0),
                                    ON_3dVector(1, 2, -3), ON_3dVector(0.3, -0.2, 0.9)};
  for (const ON_3dVector &direction : directions) {
    SCOPED_TRACE(testing::Message() << direction.x << ", " << direction.y << ", " << direction.z);
    ON_3dPointArray turnedCloud(cloud);
    PMSurface::TransformPoints(turnedCloud, direction, 0, 0);
    ON_3dPointArray expected(straight.matrix);
    PMSurface::TransformPoints(expected, direction, 0, 0);

    const Result turned = drape(turnedCloud, direction);
    ASSERT_EQ(turned.result, 1);
    ASSERT_EQ(turned.rows, straight.rows);
    ASSERT_EQ(turned.cols, straight.cols);
    ASSERT_EQ(turned.matrix.Count(), expected.Count());
    double worst = 0.0;
    for (int i = 0; i < expected.Count(); ++i)
      worst = std::max(worst, turned.matrix[i].DistanceTo(expected[i]));
    EXPECT_LT(worst, 1e-9);
    EXPECT_TRUE(turned.surface.IsValid());
  }
}

// A dome with a few points 5 above some of its sites: seen from below,
// (0, 0, 1), the matrix follows the dome everywhere, with the columns
// running against x in the caller's frame; seen from above it takes the
// raised points where they are.
TEST_F(DrapePipeline, UpwardDirectionFollowsTheLowestPoints)
{
  ON_3dPointArray cloud = jitteredGrid(kSide, dome, 0.0);
  const int sites = cloud.Count();
  int raised = 0;
  for (int i = 0; i < sites; i += 21, ++raised)
    cloud.Append(cloud[i] + ON_3dVector(0, 0, 5));

  const Result fromAbove = drape(cloud, kDown);
  const Result fromBelow = drape(cloud, ON_3dVector(0, 0, 1));
  ASSERT_EQ(fromAbove.result, 1);
  ASSERT_EQ(fromBelow.result, 1);
  ASSERT_EQ(fromBelow.rows, kSide);
  ASSERT_EQ(fromBelow.cols, kSide);
  ASSERT_EQ(fromAbove.matrix.Count(), kSide * kSide);
  ASSERT_EQ(fromBelow.matrix.Count(), kSide * kSide);
  int raisedSeenFromAbove = 0;
  for (int row = 0; row < kSide; ++row)
    for (int col = 0; col < kSide; ++col) {
      const ON_3dPoint &above = fromAbove.matrix[row * kSide + col];
      const ON_3dPoint &below = fromBelow.matrix[row * kSide + col];
      EXPECT_NEAR(above.x, -1.0 + col * kSpacing, 1e-12);
      EXPECT_NEAR(below.x, 1.0 - col * kSpacing, 1e-12);
      EXPECT_NEAR(below.y, -1.0 + row * kSpacing, 1e-12);
      EXPECT_NEAR(below.z, dome(below.x, below.y), 1e-12);
      raisedSeenFromAbove += above.z - dome(above.x, above.y) > 4.0;
    }
  EXPECT_EQ(raisedSeenFromAbove, raised);
}

// Without interpolation a hole in the middle of the cloud ends at the
// cloud's lowest height; with it, it is filled from the heights around it.
TEST_F(DrapePipeline, InterpolateFlagReachesTheGrid)
{
  const ON_3dPointArray full = jitteredGrid(kSide, dome, 0.0);
  ON_3dPointArray holed;
  for (int i = 0; i < full.Count(); ++i)
    if (full[i].x * full[i].x + full[i].y * full[i].y > 0.09)
      holed.Append(full[i]);
  const double floor = dome(1.0, 1.0);

  const Result lowered = drape(holed, kDown, 0);
  const Result filled = drape(holed, kDown, 1);
  ASSERT_EQ(lowered.result, 1);
  ASSERT_EQ(filled.result, 1);
  const int centre = (lowered.rows / 2) * lowered.cols + lowered.cols / 2;
  EXPECT_EQ(lowered.matrix[centre].z, floor);
  EXPECT_NEAR(filled.matrix[centre].z, dome(0.0, 0.0), 0.05);
}

// A cloud over which no grid can be laid fails in the grid building: the
// result is 0 with that step's message and the surface is untouched.
TEST_F(DrapePipeline, GridFailureLeavesTheSurfaceUntouched)
{
  Result r;
  ON_3dPointArray square = jitteredGrid(4, dome, 0.0);
  int rows = 0, cols = 0;
  ASSERT_EQ(PMSurface::DrapeSurface(r.matrix, rows, cols, r.surface, square, kDown, 0, 0, nullptr),
            1);
  ASSERT_TRUE(r.surface.IsValid());
  const ON_NurbsSurface before(r.surface);

  PMSurface::SetError(L"");
  const ON_3dPointArray empty;
  EXPECT_EQ(PMSurface::DrapeSurface(r.matrix, rows, cols, r.surface, empty, kDown, 1, 1, nullptr),
            0);
  EXPECT_FALSE(PMSurface::GetError().IsEmpty());
  EXPECT_NE(PMSurface::GetError(), L"Cancelled");
  ASSERT_TRUE(r.surface.IsValid());
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      ON_3dPoint a, b;
      r.surface.GetCV(i, j, a);
      before.GetCV(i, j, b);
      EXPECT_EQ(a, b);
    }
}
