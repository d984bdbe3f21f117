// DrapeSurface from end to end with no window toolkit: the parameters window
// cannot open, so the suggestion and a probe diameter of 0 are used.
#include "PMSurface.h"
#include "PMToolkit.h"
#include "drape/HeightFieldCloud.h"
#include "framework/AfxModule.h"
#include "surface/DrapePipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

using namespace drape_test;

namespace {

constexpr int kSide = 41; // samples per side; also the suggested rows and columns
constexpr double kStep = 2.0 / (kSide - 1);
const ON_3dVector kDown(0.0, 0.0, -1.0);

struct Drape
{
  int result = -1, rows = 0, cols = 0;
  ON_3dPointArray matrix;
  ON_NurbsSurface surface;
};

Drape DrapeCloud(const ON_3dPointArray &cloud, const ON_3dVector &direction, int interpolate = 1)
{
  Drape d;
  d.result = PMSurface::DrapeSurface(d.matrix, d.rows, d.cols, d.surface, cloud, direction,
                                     interpolate, 0, nullptr);
  return d;
}

// Whether z lies within the values the field takes within one grid step of (x, y).
bool WithinOneStep(const HeightField &field, double x, double y, double z)
{
  double low = HUGE_VAL, high = -HUGE_VAL;
  for (int i = -10; i <= 10; ++i)
    for (int j = -10; j <= 10; ++j) {
      const double f = field(x + i * kStep / 10, y + j * kStep / 10);
      low = std::min(low, f);
      high = std::max(high, f);
    }
  return z >= low - 1e-12 && z <= high + 1e-12;
}

class DrapePipeline : public ::testing::Test
{
protected:
  static void SetUpTestSuite() { PMSelectToolkit(PMToolkitKind::None); }
};

TEST_F(DrapePipeline, ParametersWithoutAWindowComeBackUnchanged)
{
  AFX_MODULE_STATE *before = AfxGetModuleState();
  int rows = 0, cols = -4;
  double diameter = -2.5;
  PMSurface::SetError(L"older");
  EXPECT_EQ(PMSurface::GetSurfaceParameters(rows, cols, diameter, nullptr), 1);
  EXPECT_EQ(std::make_tuple(rows, cols, diameter), std::make_tuple(0, -4, -2.5));
  EXPECT_EQ(PMSurface::GetError(), L"older");
  EXPECT_EQ(AfxGetModuleState(), before);
}

// Nodes lie on the cloud's box and carry a height the field takes within one
// grid step; the caller's cloud is not changed.
TEST_F(DrapePipeline, ReproducesKnownHeightFields)
{
  const std::pair<const char *, HeightField> fields[] = {
      {"dome", dome}, {"saddle", saddle}, {"step", step}};
  for (const auto &[name, field] : fields) {
    SCOPED_TRACE(name);
    const ON_3dPointArray cloud = jitteredGrid(kSide, field, 0.3);
    const ON_3dPointArray before(cloud);
    const Drape d = DrapeCloud(cloud, kDown);
    ASSERT_EQ(std::make_tuple(d.result, d.rows, d.cols, d.matrix.Count()),
              std::make_tuple(1, kSide, kSide, kSide * kSide));
    EXPECT_TRUE(d.surface.IsValid());
    EXPECT_EQ(std::memcmp(cloud.Array(), before.Array(), sizeof(ON_3dPoint) * cloud.Count()), 0);
    int wrong = 0;
    for (int i = 0; i < d.matrix.Count(); ++i) {
      const ON_3dPoint &p = d.matrix[i];
      wrong += std::abs(p.x - (-1.0 + (i % kSide) * kStep)) > 1e-12 ||
               std::abs(p.y - (-1.0 + (i / kSide) * kStep)) > 1e-12 ||
               !WithinOneStep(field, p.x, p.y, p.z);
    }
    EXPECT_EQ(wrong, 0);
  }
}

// Turning the cloud and draping along the turned direction gives the turned
// matrix of the unturned drape. (A 3 x 2 cloud keeps the suggested counts
// away from the truncation edges that a turn could move.)
TEST_F(DrapePipeline, TurnedCloudAlongTurnedDirectionGivesTurnedMatrix)
{
  const ON_3dPointArray cloud = uniformCloud(1500, 3.0, 2.0, saddle);
  const Drape straight = DrapeCloud(cloud, kDown);
  ASSERT_EQ(std::make_tuple(straight.result, straight.rows, straight.cols),
            std::make_tuple(1, 31, 46));
  for (const ON_3dVector &direction : {ON_3dVector(1, 0, 0), ON_3dVector(0, -3, 0),
                                       ON_3dVector(1, 2, -3), ON_3dVector(0.3, -0.2, 0.9)}) {
    SCOPED_TRACE(testing::Message() << direction.x << ", " << direction.y << ", " << direction.z);
    ON_3dPointArray turnedCloud(cloud), expected(straight.matrix);
    PMSurface::TransformPoints(turnedCloud, direction, 0, 0);
    PMSurface::TransformPoints(expected, direction, 0, 0);
    const Drape turned = DrapeCloud(turnedCloud, direction);
    ASSERT_EQ(std::make_tuple(turned.result, turned.rows, turned.cols, turned.matrix.Count()),
              std::make_tuple(1, straight.rows, straight.cols, expected.Count()));
    double worst = 0.0;
    for (int i = 0; i < expected.Count(); ++i)
      worst = std::max(worst, turned.matrix[i].DistanceTo(expected[i]));
    EXPECT_LT(worst, 1e-9);
    EXPECT_TRUE(turned.surface.IsValid());
  }
}

// A dome with some points raised by 5: seen from below, (0, 0, 1), the matrix
// follows the dome, columns running against x; from above it takes the
// raised points.
TEST_F(DrapePipeline, UpwardDirectionFollowsTheLowestPoints)
{
  ON_3dPointArray cloud = jitteredGrid(kSide, dome, 0.0);
  const int sites = cloud.Count();
  int raised = 0;
  for (int i = 0; i < sites; i += 21, ++raised)
    cloud.Append(cloud[i] + ON_3dVector(0, 0, 5));
  const Drape above = DrapeCloud(cloud, kDown), below = DrapeCloud(cloud, ON_3dVector(0, 0, 1));
  ASSERT_EQ(std::make_tuple(above.result, above.matrix.Count()), std::make_tuple(1, sites));
  ASSERT_EQ(std::make_tuple(below.result, below.rows, below.cols, below.matrix.Count()),
            std::make_tuple(1, kSide, kSide, sites));
  int wrong = 0, raisedSeen = 0;
  for (int i = 0; i < sites; ++i) {
    const ON_3dPoint &a = above.matrix[i], &b = below.matrix[i];
    wrong += std::abs(b.x - (1.0 - (i % kSide) * kStep)) > 1e-12 ||
             std::abs(b.y - (-1.0 + (i / kSide) * kStep)) > 1e-12 ||
             std::abs(b.z - dome(b.x, b.y)) > 1e-12;
    raisedSeen += a.z - dome(a.x, a.y) > 4.0;
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(raisedSeen, raised);
}

// A hole in the middle ends at the cloud's lowest height without
// interpolation and is filled from around it with.
TEST_F(DrapePipeline, InterpolateFlagReachesTheGrid)
{
  const ON_3dPointArray full = jitteredGrid(kSide, dome, 0.0);
  ON_3dPointArray holed;
  for (int i = 0; i < full.Count(); ++i)
    if (full[i].x * full[i].x + full[i].y * full[i].y > 0.09)
      holed.Append(full[i]);
  const Drape lowered = DrapeCloud(holed, kDown, 0), filled = DrapeCloud(holed, kDown, 1);
  ASSERT_EQ(std::make_tuple(lowered.result, filled.result), std::make_tuple(1, 1));
  const int centre = (lowered.rows / 2) * lowered.cols + lowered.cols / 2;
  EXPECT_EQ(lowered.matrix[centre].z, dome(1.0, 1.0));
  EXPECT_NEAR(filled.matrix[centre].z, dome(0.0, 0.0), 0.05);
}

// An empty cloud fails in the grid building: 0 with that step's message, and
// the surface is left as it was.
TEST_F(DrapePipeline, GridFailureLeavesTheSurfaceUntouched)
{
  Drape d = DrapeCloud(jitteredGrid(4, dome, 0.0), kDown, 0);
  ASSERT_TRUE(d.surface.IsValid());
  const ON_NurbsSurface before(d.surface);
  PMSurface::SetError(L"");
  EXPECT_EQ(PMSurface::DrapeSurface(d.matrix, d.rows, d.cols, d.surface, ON_3dPointArray(), kDown,
                                    1, 1, nullptr),
            0);
  EXPECT_FALSE(PMSurface::GetError().IsEmpty());
  EXPECT_NE(PMSurface::GetError(), L"Cancelled");
  for (int i = 0; i < 16; ++i) {
    ON_3dPoint a, b;
    d.surface.GetCV(i / 4, i % 4, a);
    before.GetCV(i / 4, i % 4, b);
    EXPECT_EQ(a, b);
  }
}

// The drape without asking, as the tool and the benchmarks call it: with the
// suggested grid and no probe it builds exactly what DrapeSurface builds.
TEST_F(DrapePipeline, WithoutAskingMatchesDrapeSurfaceOnTheSuggestion)
{
  const ON_3dPointArray cloud = uniformCloud(1500, 3.0, 2.0, saddle);
  const ON_3dVector direction(0.3, -0.2, 0.9);
  const Drape asked = DrapeCloud(cloud, direction);
  pelmora::DrapeFrame frame(cloud, direction, 0);
  pelmora::DrapeSettings settings;
  settings.interpolate = 1;
  frame.SuggestGrid(settings.rows, settings.cols);
  ON_3dPointArray matrix;
  ON_NurbsSurface surface;
  ASSERT_EQ(frame.Drape(settings, matrix, surface), 1);
  ASSERT_EQ(std::make_tuple(settings.rows, settings.cols, matrix.Count()),
            std::make_tuple(asked.rows, asked.cols, asked.matrix.Count()));
  EXPECT_EQ(std::memcmp(matrix.Array(), asked.matrix.Array(), sizeof(ON_3dPoint) * matrix.Count()),
            0);
  EXPECT_TRUE(surface.IsValid());
  EXPECT_EQ(frame.AlignedPoints().Count(), 0); // released once the matrix was built
}

// A given grid is used as given, and a probe moves a flat cloud's matrix by
// its radius along the drape direction (against it for a negative diameter).
TEST_F(DrapePipeline, WithoutAskingUsesTheGivenGridAndProbe)
{
  const double height = 0.5;
  const ON_3dPointArray cloud = jitteredGrid(
      kSide, [=](double, double) { return height; }, 0.3);
  const struct
  {
    ON_3dVector direction;
    double diameter, expectedZ;
  } cases[] = {{kDown, 0.0, height},
               {kDown, 2.0, height - 1.0},
               {kDown, -2.0, height + 1.0},
               {ON_3dVector(0, 0, 3), 2.0, height + 1.0}};
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "direction z " << c.direction.z << ", diameter " << c.diameter);
    pelmora::DrapeFrame frame(cloud, c.direction, 0);
    pelmora::DrapeSettings settings;
    settings.rows = 7;
    settings.cols = 9;
    settings.probeDiameter = c.diameter;
    ON_3dPointArray matrix;
    ON_NurbsSurface surface;
    ASSERT_EQ(frame.Drape(settings, matrix, surface), 1);
    ASSERT_EQ(std::make_tuple(matrix.Count(), surface.CVCount(0), surface.CVCount(1)),
              std::make_tuple(63, 9, 7));
    double worst = 0.0;
    for (int i = 0; i < matrix.Count(); ++i)
      worst = std::max(worst, std::abs(matrix[i].z - c.expectedZ));
    EXPECT_LT(worst, 1e-9);
  }
}

} // namespace
