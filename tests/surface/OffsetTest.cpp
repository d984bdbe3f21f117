// Probe compensation: moving the matrix along the surface normal.
#include "Matrices.h"

#include <cmath>

namespace {

// rows x cols unit grid on the plane z = a x + b y.
ON_3dPointArray plane(int rows, int cols, double a, double b)
{
  return Grid(rows, cols, 1.0, [=](int r, int c) { return a * c + b * r; });
}

ON_NurbsSurface fit(ON_3dPointArray m, int rows, int cols)
{
  ON_NurbsSurface s;
  EXPECT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(s, m, rows, cols, 0));
  return s;
}

} // namespace

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
    const ON_3dPointArray start = plane(c.rows, c.cols, c.a, c.b);
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

TEST(Offset, PointsStayWhenNothingCanMoveThemAndTheResultIsAlwaysOne)
{
  // A distance of 0 or not finite, or (at -1) an invalid entry surface:
  // nothing moves and the refit still runs.
  for (double distance : {0.0, double(NAN), double(INFINITY), -1.0}) {
    const ON_3dPointArray start = plane(3, 4, 0.3, -0.2);
    ON_3dPointArray m = start;
    ON_NurbsSurface s = distance == -1.0 ? ON_NurbsSurface() : fit(m, 3, 4);
    EXPECT_EQ(1, PMSurface::Offset(m, 3, 4, s, distance, 1));
    ExpectSame(start, m);
    EXPECT_TRUE(s.IsValid()) << distance;
  }

  // A count that does not match: points move, the refit reports.
  ON_3dPointArray odd = plane(4, 5, 0, 0);
  ON_NurbsSurface s = fit(odd, 4, 5);
  odd.SetCount(19);
  EXPECT_EQ(1, PMSurface::Offset(odd, 4, 5, s, -0.5, 0));
  EXPECT_NEAR(-0.5, odd[18].z, 1e-12);
  EXPECT_EQ(CString(L"Incorrect number of control points"), PMSurface::GetError());

  // An empty matrix: the refit runs with the caller's counts.
  ON_3dPointArray none;
  s = fit(plane(3, 3, 0, 0), 3, 3);
  EXPECT_EQ(1, PMSurface::Offset(none, 0, 3, s, -0.5, 1));
  EXPECT_EQ(CString(L"Invalid Nurbs Surface"), PMSurface::GetError());
}
