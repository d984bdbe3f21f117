// The library-wide error text. Runs as its own executable so that nothing
// has set the text before the first check.
#include "PMSurface.h"

#include <gtest/gtest.h>

#include <type_traits>

TEST(ErrorText, EmptyUntilSetAndOnlyTheLastMessageKept)
{
  EXPECT_TRUE(PMSurface::GetError().IsEmpty());

  // Two failures in a row leave only the second message.
  ON_NurbsSurface surface;
  ON_3dPointArray matrix;
  matrix.Append(ON_3dPoint(0.0, 0.0, 0.0));
  EXPECT_EQ(0, PMSurface::CreateSurfaceFromPointMatrix(surface, matrix, 2, 2, 0));
  EXPECT_EQ(CString(L"Incorrect number of control points"), PMSurface::GetError());
  ON_3dPointArray none;
  EXPECT_EQ(0, PMSurface::CreateSurfaceFromPointMatrix(surface, none, 0, 5, 0));
  EXPECT_EQ(CString(L"Invalid Nurbs Surface"), PMSurface::GetError());

  // A success leaves the last failure's message in place.
  int rows = 0, cols = 0;
  PMSurface::AnalyzePoints(matrix, ON_3dVector(0.0, 0.0, -1.0), rows, cols);
  ON_3dPointArray grid;
  EXPECT_EQ(1, PMSurface::CreatePointMatrix(matrix, 1, 1, grid, 1, 0));
  EXPECT_EQ(CString(L"Invalid Nurbs Surface"), PMSurface::GetError());

  // A host may set and clear the text.
  PMSurface::SetError(L"host message");
  EXPECT_EQ(CString(L"host message"), PMSurface::GetError());
  PMSurface::SetError(CString());
  EXPECT_TRUE(PMSurface::GetError().IsEmpty());
}

TEST(ErrorText, SurfaceObjectsCopyNothing)
{
  static_assert(std::is_empty<PMSurface>::value, "PMSurface holds no data");
  PMSurface a;
  PMSurface b;
  PMSurface &same = (a = b);
  EXPECT_EQ(&a, &same);
  PMSurface c(a);
  (void)c;
}
