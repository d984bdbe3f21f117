// PMSurface::CreateSurfaceFromPointMatrix: a biquadratic NURBS surface with
// clamped uniform knots whose control points are the matrix points
// themselves; control point (i, j) is element j * cols + i.
#include "PMSurface.h"
#include "surface/ProgressPhase.h"
#include "surface/OperationGuard.h"

#include <climits>

namespace {

int FitSurface(ON_NurbsSurface &surface, ON_3dPointArray &matrix, int rows, int cols,
               int showProgress)
{
  // 1. The matrix must hold rows x cols points; a product beyond int can
  //    never be held.
  const int n = matrix.Count();
  const long long expected = static_cast<long long>(rows) * cols;
  if (expected < INT_MIN || expected > INT_MAX || n != expected) {
    PMSurface::SetError(L"Incorrect number of control points");
    return 0;
  }

  // 2. Create. A failed Create would leave the old surface in place and
  //    let it pass the validity test below, so the surface is emptied.
  if (!surface.Create(3, true, 3, 3, cols, rows)) {
    surface.Destroy();
    PMSurface::SetError(L"Invalid Nurbs Surface");
    return 0;
  }

  // 3-5. The control points, in element order, under "Creating surface".
  pelmora::ProgressPhase phase(L"Creating surface", showProgress);
  const ON_3dPoint *point = matrix.Array();
  int i = 0;
  int j = 0;
  phase.Run(n, [&](int k) {
    surface.SetCV(i, j, point[k]);
    if (++i == cols) {
      i = 0;
      ++j;
    }
  });

  // 6. Knots with spacing 1: the domain is [0, cols - 2] x [0, rows - 2].
  surface.MakeClampedUniformKnotVector(0, 1.0);
  surface.MakeClampedUniformKnotVector(1, 1.0);

  // 7. Validity.
  if (!surface.IsValid()) {
    PMSurface::SetError(L"Invalid Nurbs Surface");
    return 0;
  }
  return 1;
}

} // namespace

int PMSurface::CreateSurfaceFromPointMatrix(ON_NurbsSurface &surface, ON_3dPointArray &matrix,
                                            int rows, int cols, int showProgress)
{
  // A surface that could not be made, for lack of memory or otherwise, is
  // half made: it is emptied and reported like any surface that cannot be
  // made.
  return pelmora::Guarded([&] { return FitSurface(surface, matrix, rows, cols, showProgress); },
                          [&surface](pelmora::Failure) noexcept {
                            surface.Destroy();
                            pelmora::SetErrorText(L"Invalid Nurbs Surface");
                            return 0;
                          });
}
