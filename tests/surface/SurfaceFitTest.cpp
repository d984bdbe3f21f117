// Fitting the biquadratic surface through a point matrix, and moving the
// matrix along the surface normal (probe compensation).
#include "Matrices.h"
#include "opennurbs/ParallelFor.h"
#include "support/PointCloudGenerator.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// rows x cols unit grid with z = a x + b y + k x y.
ON_3dPointArray grid(int rows, int cols, double a, double b, double k)
{
  return Grid(rows, cols, 1.0, [=](int r, int c) { return a * c + b * r + k * c * r; });
}

ON_NurbsSurface fit(ON_3dPointArray m, int rows, int cols, int showProgress = 0)
{
  ON_NurbsSurface s;
  EXPECT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(s, m, rows, cols, showProgress));
  return s;
}

} // namespace

TEST(CreateSurfaceFromPointMatrix, ClampedBiquadraticWithControlPointIJAtElementJTimesColsPlusI)
{
  const struct
  {
    int rows, cols, showProgress;
    std::vector<double> knots[2];
  } cases[] = {{3, 3, 0, {{0, 0, 1, 1}, {0, 0, 1, 1}}},
               {4, 5, 1, {{0, 0, 1, 2, 3, 3}, {0, 0, 1, 2, 2}}}};
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows << " x " << c.cols);
    const ON_3dPointArray m = grid(c.rows, c.cols, 0, 0, 1);
    const ON_NurbsSurface s = fit(m, c.rows, c.cols, c.showProgress);
    EXPECT_TRUE(s.IsValid());
    EXPECT_TRUE(s.IsRational());
    EXPECT_EQ(3, s.Dimension());
    for (int dir = 0; dir < 2; ++dir) {
      EXPECT_EQ(3, s.Order(dir));
      EXPECT_EQ(c.knots[dir], std::vector<double>(s.Knot(dir), s.Knot(dir) + s.KnotCount(dir)));
    }
    ASSERT_EQ(c.cols, s.CVCount(0));
    ASSERT_EQ(c.rows, s.CVCount(1));
    for (int j = 0; j < c.rows; ++j)
      for (int i = 0; i < c.cols; ++i) {
        EXPECT_EQ(m[j * c.cols + i], ON_3dPoint(s.CV(i, j)));
        EXPECT_EQ(1.0, s.Weight(i, j));
      }
  }
}

TEST(CreateSurfaceFromPointMatrix, FailuresAndWhatTheyLeaveAlsoWhenOffsetRefits)
{
  const CString count(L"Incorrect number of control points"), invalid(L"Invalid Nurbs Surface");
  const struct
  {
    int points, rows, cols;
    const CString &error;
    bool kept; // the surface keeps its contents, or else is left empty
  } cases[] = {{19, 4, 5, count, true},
               {0, 65536, 65536, count, true}, // the product wraps to 0 in int
               {10, 2, 5, invalid, false},
               {0, 0, 5, invalid, false},
               {6, -2, -3, invalid, false}}; // passes the count test
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.points << " points, " << c.rows << " x " << c.cols);
    ON_NurbsSurface s = fit(grid(3, 3, 0, 0, 1), 3, 3);
    ON_3dPointArray m = grid(4, 5, 0, 0, 1);
    m.SetCount(c.points);
    PMSurface::SetError(CString());
    EXPECT_EQ(0, PMSurface::CreateSurfaceFromPointMatrix(s, m, c.rows, c.cols, 1));
    EXPECT_EQ(c.error, PMSurface::GetError());
    EXPECT_EQ(c.kept, s.IsValid());
    EXPECT_EQ(c.kept ? 3 : 0, s.CVCount(0));

    // Offset moves the points all the same and reports only through its refit.
    ON_NurbsSurface flat = fit(grid(3, 3, 0, 0, 0), 3, 3);
    PMSurface::SetError(CString());
    EXPECT_EQ(1, PMSurface::Offset(m, c.rows, c.cols, flat, -0.5, 0));
    EXPECT_EQ(c.error, PMSurface::GetError());
    for (int k = 0; k < c.points; ++k)
      EXPECT_NEAR(grid(4, 5, 0, 0, 1)[k].z - 0.5, m[k].z, 1e-12) << k;
  }
}

TEST(Offset, PlanesMoveAlongTheirUnitNormalOnTheSideOfGrowingZ)
{
  const struct
  {
    int rows, cols;
    double a, b, distance, tolerance;
    int showProgress;
  } cases[] = {{4, 5, 0, 0, -0.5, 1e-12, 0}, {5, 6, 0.5, 0.25, 2.0, 1e-9, 1}};
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "z = " << c.a << " x + " << c.b << " y");
    const ON_3dPointArray start = grid(c.rows, c.cols, c.a, c.b, 0);
    ON_3dPointArray m = start;
    ON_NurbsSurface s = fit(m, c.rows, c.cols);
    EXPECT_EQ(1, PMSurface::Offset(m, c.rows, c.cols, s, c.distance, c.showProgress));
    ON_3dVector normal(-c.a, -c.b, 1.0);
    normal.Unitize();
    for (int k = 0; k < m.Count(); ++k)
      EXPECT_LT((m[k] - start[k] - normal * c.distance).Length(), c.tolerance) << k;
    // The refitted surface lies at the same distance from the plane.
    EXPECT_TRUE(s.IsValid());
    for (const ON_3dPoint &uv : {ON_3dPoint(1.3, 0.7, 0), ON_3dPoint(3, 2, 0)})
      EXPECT_NEAR(c.distance, normal * ON_3dVector(s.PointAt(uv.x, uv.y)), c.tolerance);
  }
}

TEST(Offset, PointsStayWhenNothingCanMoveThem)
{
  // A distance of 0 or not finite, or (at -1) an invalid entry surface:
  // nothing moves and the refit still runs.
  for (double distance : {0.0, double(NAN), double(INFINITY), -1.0}) {
    const ON_3dPointArray start = grid(3, 4, 0.3, -0.2, 0);
    ON_3dPointArray m = start;
    ON_NurbsSurface s = distance == -1.0 ? ON_NurbsSurface() : fit(m, 3, 4);
    EXPECT_EQ(1, PMSurface::Offset(m, 3, 4, s, distance, 1));
    ExpectSame(start, m);
    EXPECT_TRUE(s.IsValid()) << distance;
  }
}

TEST(Offset, SameBitsOnAnyNumberOfThreads)
{
  // A rough matrix (noise, a step, empty nodes at the floor): the moved
  // points and the refitted surface do not depend on the thread count.
  pelmora::test::CloudSpec spec;
  spec.xmax = spec.ymax = 100.0;
  spec.count = 5000;
  spec.corners = true;
  spec.noise = 0.05;
  spec.height = [](double x, double y) {
    return 3.0 * std::sin(x / 15.0) * std::cos(y / 20.0) + (x > 60.0 ? 1.5 : 0.0);
  };
  const int side = 70;
  ON_3dPointArray start;
  ASSERT_EQ(1,
            PMSurface::CreatePointMatrix(pelmora::test::MakeCloud(spec), side, side, start, 0, 0));
  const ON_NurbsSurface entry = fit(start, side, side);
  std::vector<ON_3dPointArray> moved;
  std::vector<ON_NurbsSurface> refitted;
  for (int threads : {1, 2, 3, 7}) {
    pelmora::SetThreadCount(threads);
    ON_3dPointArray m = start;
    ON_NurbsSurface s = entry;
    EXPECT_EQ(1, PMSurface::Offset(m, side, side, s, -1.0, threads % 2));
    moved.push_back(m);
    refitted.push_back(s);
  }
  pelmora::SetThreadCount(0);
  for (size_t k = 1; k < moved.size(); ++k) {
    SCOPED_TRACE(k);
    ASSERT_EQ(moved[0].Count(), moved[k].Count());
    EXPECT_EQ(0, std::memcmp(moved[0].Array(), moved[k].Array(),
                             sizeof(ON_3dPoint) * size_t(moved[0].Count())));
    ASSERT_EQ(refitted[0].CVCount(), refitted[k].CVCount());
    EXPECT_EQ(0, std::memcmp(refitted[0].m_cv, refitted[k].m_cv,
                             sizeof(double) * 3 * size_t(refitted[0].CVCount())));
  }
  // And the points did move.
  EXPECT_NE(0, std::memcmp(start.Array(), moved[0].Array(), sizeof(ON_3dPoint) * 10));
}
