// PMSurface::DrapeSurface: the main operation, built from the exported steps
// in their fixed order. Every step is its own operation; this file only
// orchestrates them and keeps the caller's cloud untouched.
#include "PMSurface.h"

#include <new>

int PMSurface::DrapeSurface(ON_3dPointArray &matrix, int &rows, int &cols, ON_NurbsSurface &surface,
                            const ON_3dPointArray &points, const ON_3dVector &direction,
                            int interpolate, int showProgress, HWND const *parent)
{
  try {
    // 1. The working copy; the caller's cloud is never changed.
    // A copy that could not get its memory comes back empty.
    ON_3dPointArray aligned(points);
    if (aligned.Count() != points.Count())
      throw std::bad_alloc();

    // 2. Align: the drape direction becomes straight down.
    TransformPoints(aligned, direction, 1, showProgress);

    // 3. Suggest rows and columns from the aligned extent.
    AnalyzePoints(aligned, direction, rows, cols);

    // 4. Ask; the window shows a probe diameter of 0 first.
    double probeDiameter = 0.0;
    if (!GetSurfaceParameters(rows, cols, probeDiameter, parent))
      return 0;

    // 5. Build the grid over the aligned cloud.
    if (!CreatePointMatrix(aligned, rows, cols, matrix, interpolate, showProgress))
      return 0;
    aligned.Destroy(); // not needed any more; frees its memory before the fit

    // 6. Rotate the matrix back to the caller's orientation.
    TransformPoints(matrix, direction, 0, showProgress);

    // 7. Fit; a failure only leaves its message.
    CreateSurfaceFromPointMatrix(surface, matrix, rows, cols, showProgress);

    // 8. Compensate for the probe radius, along the drape direction.
    if (probeDiameter != 0.0)
      Offset(matrix, rows, cols, surface, -0.5 * probeDiameter, showProgress);
    return 1;
  } catch (const std::bad_alloc &) {
    SetError(L"Not enough memory for the point cloud");
  } catch (...) {
    SetError(L"The surface could not be draped");
  }
  return 0;
}
