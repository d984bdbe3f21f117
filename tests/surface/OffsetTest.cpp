// Probe compensation: moving the matrix along the surface normal.
#include "PMSurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// rows x cols nodes over x in [0, cols-1], y in [0, rows-1] on the plane
// z = a x + b y.
ON_3dPointArray planeMatrix(int rows, int cols, double a, double b)
{
  ON_3dPointArray m;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      m.Append(ON_3dPoint(c, r, a * c + b * r));
  return m;
}

ON_NurbsSurface fit(ON_3dPointArray &m, int rows, int cols)
{
  ON_NurbsSurface s;
  EXPECT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(s, m, rows, cols, 0));
  return s;
}

} // namespace

TEST(Offset, FlatPlaneMovesStraightAgainstItsNormal)
{
  ON_3dPointArray m = planeMatrix(4, 5, 0, 0);
  ON_NurbsSurface s = fit(m, 4, 5);
  EXPECT_EQ(1, PMSurface::Offset(m, 4, 5, s, -0.5, 0));
  const ON_3dPointArray start = planeMatrix(4, 5, 0, 0);
  for (int k = 0; k < m.Count(); ++k) {
    EXPECT_NEAR(start[k].x, m[k].x, 1e-12);
    EXPECT_NEAR(start[k].y, m[k].y, 1e-12);
    EXPECT_NEAR(-0.5, m[k].z, 1e-12);
  }
  EXPECT_TRUE(s.IsValid());
  EXPECT_NEAR(-0.5, s.PointAt(1.3, 0.7).z, 1e-12);
  EXPECT_NEAR(-0.5, s.PointAt(3.0, 2.0).z, 1e-12);
}

TEST(Offset, TiltedPlaneMovesAlongTheUnitNormalOnTheSideOfGrowingZ)
{
  for (int showProgress = 0; showProgress <= 1; ++showProgress) {
    ON_3dPointArray m = planeMatrix(5, 6, 0.5, 0.25);
    ON_NurbsSurface s = fit(m, 5, 6);
    EXPECT_EQ(1, PMSurface::Offset(m, 5, 6, s, 2.0, showProgress));
    ON_3dVector normal(-0.5, -0.25, 1.0);
    normal.Unitize();
    const ON_3dPointArray start = planeMatrix(5, 6, 0.5, 0.25);
    for (int k = 0; k < m.Count(); ++k) {
      const ON_3dVector moved = m[k] - start[k];
      EXPECT_NEAR(2.0 * normal.x, moved.x, 1e-9) << k;
      EXPECT_NEAR(2.0 * normal.y, moved.y, 1e-9) << k;
      EXPECT_NEAR(2.0 * normal.z, moved.z, 1e-9) << k;
    }
  }
}

TEST(Offset, PointsStayWhenNothingCanMoveThemAndTheResultIsAlwaysOne)
{
  // Distance 0 and a distance that is not a number: points unchanged.
  for (double distance : {0.0, std::numeric_limits<double>::quiet_NaN()}) {
    ON_3dPointArray m = planeMatrix(3, 4, 0.3, -0.2);
    ON_NurbsSurface s = fit(m, 3, 4);
    EXPECT_EQ(1, PMSurface::Offset(m, 3, 4, s, distance, 1));
    const ON_3dPointArray start = planeMatrix(3, 4, 0.3, -0.2);
    for (int k = 0; k < m.Count(); ++k)
      EXPECT_EQ(start[k], m[k]) << k;
    EXPECT_TRUE(s.IsValid());
  }

  // An invalid entry surface: no normals, nothing moves, the refit runs.
  ON_3dPointArray m = planeMatrix(3, 4, 0, 0);
  ON_NurbsSurface empty;
  EXPECT_EQ(1, PMSurface::Offset(m, 3, 4, empty, -1.0, 0));
  EXPECT_EQ(0.0, m[5].z);
  EXPECT_TRUE(empty.IsValid());

  // A count that does not match: points move, the refit reports.
  ON_3dPointArray odd = planeMatrix(4, 5, 0, 0);
  ON_NurbsSurface s = fit(odd, 4, 5);
  odd.SetCount(19);
  EXPECT_EQ(1, PMSurface::Offset(odd, 4, 5, s, -0.5, 0));
  EXPECT_NEAR(-0.5, odd[18].z, 1e-12);
  EXPECT_EQ(CString(L"Incorrect number of control points"), PMSurface::GetError());

  // An empty matrix: the refit runs with the caller's counts.
  ON_3dPointArray none;
  ON_NurbsSurface t = fit(odd = planeMatrix(3, 3, 0, 0), 3, 3);
  EXPECT_EQ(1, PMSurface::Offset(none, 0, 3, t, -0.5, 1));
  EXPECT_EQ(CString(L"Invalid Nurbs Surface"), PMSurface::GetError());
}
