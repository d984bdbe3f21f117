// The library-wide error text. Runs as its own executable so that nothing
// has set the text before the first check.
#include "Matrices.h"

#include <type_traits>

TEST(ErrorText, EmptyUntilSetLastMessageWinsSuccessKeepsIt)
{
  EXPECT_TRUE(PMSurface::GetError().IsEmpty());
  ON_NurbsSurface surface;
  ON_3dPointArray one = Points({{0, 0, 0}}), none, grid;
  EXPECT_EQ(0, PMSurface::CreateSurfaceFromPointMatrix(surface, one, 2, 2, 0));
  EXPECT_EQ(CString(L"Incorrect number of control points"), PMSurface::GetError());
  EXPECT_EQ(0, PMSurface::CreateSurfaceFromPointMatrix(surface, none, 0, 5, 0));
  EXPECT_EQ(CString(L"Invalid Nurbs Surface"), PMSurface::GetError());
  EXPECT_EQ(1, PMSurface::CreatePointMatrix(one, 1, 1, grid, 1, 0));
  EXPECT_EQ(CString(L"Invalid Nurbs Surface"), PMSurface::GetError());
  PMSurface::SetError(CString());
  EXPECT_TRUE(PMSurface::GetError().IsEmpty());

  static_assert(std::is_empty<PMSurface>::value, "PMSurface holds no data");
  PMSurface a, b;
  EXPECT_EQ(&a, &(a = b));
}
