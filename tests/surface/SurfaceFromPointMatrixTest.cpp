// Fitting the biquadratic surface through a point matrix.
#include "Matrices.h"

#include <vector>

namespace {

// Element r * cols + c = (c, r, c * r).
ON_3dPointArray layout(int rows, int cols)
{
  return Grid(rows, cols, 1.0, [](int r, int c) { return 1.0 * c * r; });
}

ON_NurbsSurface fitted(int rows, int cols)
{
  ON_NurbsSurface surface;
  ON_3dPointArray m = layout(rows, cols);
  EXPECT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(surface, m, rows, cols, 0));
  return surface;
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
    const ON_3dPointArray m = layout(c.rows, c.cols);
    ON_3dPointArray input = m;
    ON_NurbsSurface s;
    ASSERT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(s, input, c.rows, c.cols, c.showProgress));
    EXPECT_TRUE(s.IsValid());
    EXPECT_EQ(3, s.Dimension());
    EXPECT_TRUE(s.IsRational());
    for (int dir = 0; dir < 2; ++dir) {
      EXPECT_EQ(3, s.Order(dir));
      ASSERT_EQ(static_cast<int>(c.knots[dir].size()), s.KnotCount(dir));
      for (int k = 0; k < s.KnotCount(dir); ++k)
        EXPECT_EQ(c.knots[dir][k], s.Knot(dir, k)) << dir << " " << k;
    }
    ASSERT_EQ(c.cols, s.CVCount(0));
    ASSERT_EQ(c.rows, s.CVCount(1));
    for (int j = 0; j < c.rows; ++j)
      for (int i = 0; i < c.cols; ++i) {
        ON_3dPoint cv;
        ASSERT_TRUE(s.GetCV(i, j, cv));
        EXPECT_EQ(m[j * c.cols + i], cv);
        EXPECT_EQ(1.0, s.Weight(i, j));
      }
    const double u = c.cols - 2, v = c.rows - 2; // the corners pass through
    EXPECT_LT(s.PointAt(0, 0).DistanceTo(m[0]), 1e-13);
    EXPECT_LT(s.PointAt(u, 0).DistanceTo(m[c.cols - 1]), 1e-13);
    EXPECT_LT(s.PointAt(0, v).DistanceTo(m[(c.rows - 1) * c.cols]), 1e-13);
    EXPECT_LT(s.PointAt(u, v).DistanceTo(m[c.rows * c.cols - 1]), 1e-13);
  }
}

TEST(CreateSurfaceFromPointMatrix, FailuresAndWhatTheyLeave)
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
    ON_NurbsSurface s = fitted(3, 3);
    ON_3dPointArray m = layout(4, 5);
    m.SetCount(c.points);
    PMSurface::SetError(CString());
    EXPECT_EQ(0, PMSurface::CreateSurfaceFromPointMatrix(s, m, c.rows, c.cols, 1));
    EXPECT_EQ(c.error, PMSurface::GetError());
    EXPECT_EQ(c.kept, s.IsValid());
    EXPECT_EQ(c.kept ? 3 : 0, s.CVCount(0));
  }
}
