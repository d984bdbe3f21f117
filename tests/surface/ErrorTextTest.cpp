// The library-wide error text. Runs as its own executable so that nothing
// has set the text before the first check.
#include "Matrices.h"
#include "surface/OperationGuard.h"

#include <functional>
#include <new>
#include <stdexcept>

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
}

// The boundary guard: the body's result when it returns; for an exception
// the operation's memory message or its failure message, and 0.
TEST(ErrorText, GuardedOperationAnswersEachKindOfException)
{
  const pelmora::FailureMessages messages{L"no memory", L"failed"};
  const struct
  {
    const char *name;
    std::function<int()> body;
    int result;
    const wchar_t *text;
  } cases[] = {
      {"returns 1", [] { return 1; }, 1, L"before"},
      {"returns 0", [] { return 0; }, 0, L"before"},
      {"bad_alloc", []() -> int { throw std::bad_alloc(); }, 0, L"no memory"},
      {"bad_array_new_length", []() -> int { throw std::bad_array_new_length(); }, 0, L"no memory"},
      {"runtime_error", []() -> int { throw std::runtime_error("x"); }, 0, L"failed"},
      {"not an exception class", []() -> int { throw 3; }, 0, L"failed"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    PMSurface::SetError(L"before");
    EXPECT_EQ(pelmora::GuardedOperation(messages, c.body), c.result);
    EXPECT_EQ(PMSurface::GetError(), CString(c.text));
  }
}
