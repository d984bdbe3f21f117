// Fitting the biquadratic surface through a point matrix.
#include "PMSurface.h"

#include <gtest/gtest.h>

namespace {

// rows x cols points, element r * cols + c = (c, 2r, c * r): distinct.
ON_3dPointArray layoutMatrix(int rows, int cols)
{
  ON_3dPointArray m;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      m.Append(ON_3dPoint(c, 2.0 * r, c * r));
  return m;
}

void expectPoint(const ON_3dPoint &expected, const ON_3dPoint &actual, double tolerance = 0.0)
{
  EXPECT_NEAR(expected.x, actual.x, tolerance);
  EXPECT_NEAR(expected.y, actual.y, tolerance);
  EXPECT_NEAR(expected.z, actual.z, tolerance);
}

ON_NurbsSurface fitted(int rows, int cols)
{
  ON_NurbsSurface surface;
  ON_3dPointArray m = layoutMatrix(rows, cols);
  EXPECT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(surface, m, rows, cols, 0));
  return surface;
}

} // namespace

TEST(CreateSurfaceFromPointMatrix, ThreeByThreeIsClampedOverTheUnitSquare)
{
  ON_NurbsSurface s = fitted(3, 3);
  const ON_3dPointArray m = layoutMatrix(3, 3);
  EXPECT_TRUE(s.IsValid());
  EXPECT_EQ(3, s.Dimension());
  EXPECT_TRUE(s.IsRational());
  EXPECT_EQ(3, s.Order(0));
  EXPECT_EQ(3, s.Order(1));
  for (int dir = 0; dir < 2; ++dir) {
    ASSERT_EQ(4, s.KnotCount(dir));
    const double knots[4] = {0, 0, 1, 1};
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(knots[k], s.Knot(dir, k));
    EXPECT_EQ(0.0, s.Domain(dir)[0]);
    EXPECT_EQ(1.0, s.Domain(dir)[1]);
  }
  expectPoint(m[0], s.PointAt(0, 0), 1e-14);
  expectPoint(m[2], s.PointAt(1, 0), 1e-14);
  expectPoint(m[6], s.PointAt(0, 1), 1e-14);
  expectPoint(m[8], s.PointAt(1, 1), 1e-14);
}

TEST(CreateSurfaceFromPointMatrix, ControlPointIJIsElementJTimesColsPlusI)
{
  ON_NurbsSurface s = fitted(4, 5);
  const ON_3dPointArray m = layoutMatrix(4, 5);
  EXPECT_EQ(5, s.CVCount(0));
  EXPECT_EQ(4, s.CVCount(1));
  EXPECT_EQ(0.0, s.Domain(0)[0]);
  EXPECT_EQ(3.0, s.Domain(0)[1]);
  EXPECT_EQ(0.0, s.Domain(1)[0]);
  EXPECT_EQ(2.0, s.Domain(1)[1]);
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 5; ++i) {
      ON_3dPoint cv;
      ASSERT_TRUE(s.GetCV(i, j, cv));
      expectPoint(m[j * 5 + i], cv);
      EXPECT_EQ(1.0, s.Weight(i, j));
    }
  ON_3dPoint cv;
  s.GetCV(4, 0, cv);
  expectPoint(m[4], cv);
  s.GetCV(0, 1, cv);
  expectPoint(m[5], cv);

  // Progress shown or not, the same surface.
  ON_NurbsSurface shown;
  ON_3dPointArray copy = m;
  EXPECT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(shown, copy, 4, 5, 1));
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 5; ++i)
      for (int k = 0; k < 4; ++k)
        EXPECT_EQ(s.CV(i, j)[k], shown.CV(i, j)[k]);
}

TEST(CreateSurfaceFromPointMatrix, FailuresAndWhatTheyLeave)
{
  // A count that differs from rows x cols: the surface keeps its contents.
  ON_NurbsSurface s = fitted(3, 3);
  ON_3dPointArray nineteen = layoutMatrix(4, 5);
  nineteen.SetCount(19);
  EXPECT_EQ(0, PMSurface::CreateSurfaceFromPointMatrix(s, nineteen, 4, 5, 1));
  EXPECT_EQ(CString(L"Incorrect number of control points"), PMSurface::GetError());
  EXPECT_TRUE(s.IsValid());
  EXPECT_EQ(3, s.CVCount(0));

  // rows x cols beyond int (65536 x 65536 wraps to 0 in int arithmetic).
  ON_3dPointArray empty;
  EXPECT_EQ(0, PMSurface::CreateSurfaceFromPointMatrix(s, empty, 65536, 65536, 0));
  EXPECT_EQ(CString(L"Incorrect number of control points"), PMSurface::GetError());
  EXPECT_TRUE(s.IsValid());

  // Fewer than 3 rows, an empty matrix, negative counts: the surface cannot
  // be created and is left empty, whatever it held.
  const struct
  {
    int rows, cols;
  } cases[] = {{2, 5}, {0, 5}, {-2, -3}};
  for (const auto &c : cases) {
    ON_NurbsSurface old = fitted(3, 3);
    ON_3dPointArray m = layoutMatrix(c.rows > 0 ? c.rows : 0, c.cols > 0 ? c.cols : 0);
    if (c.rows < 0)
      m = layoutMatrix(2, 3); // -2 x -3 = 6 points pass the count test
    PMSurface::SetError(CString());
    EXPECT_EQ(0, PMSurface::CreateSurfaceFromPointMatrix(old, m, c.rows, c.cols, 1));
    EXPECT_EQ(CString(L"Invalid Nurbs Surface"), PMSurface::GetError());
    EXPECT_FALSE(old.IsValid());
    EXPECT_EQ(0, old.CVCount());
  }
}
