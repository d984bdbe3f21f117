// PMSurface::DrapeSurface: the main operation. Aligns a copy of the cloud,
// suggests a grid, asks the user, then runs the drape steps of
// surface/DrapePipeline with the accepted values.
#include "PMSurface.h"
#include "surface/DrapePipeline.h"
#include "surface/OperationGuard.h"

int PMSurface::DrapeSurface(ON_3dPointArray &matrix, int &rows, int &cols, ON_NurbsSurface &surface,
                            const ON_3dPointArray &points, const ON_3dVector &direction,
                            int interpolate, int showProgress, HWND const *parent)
{
  const pelmora::FailureMessages messages{L"Not enough memory for the point cloud",
                                          L"The surface could not be draped"};
  return pelmora::GuardedOperation(messages, [&] {
    pelmora::DrapeFrame frame(points, direction, showProgress);
    frame.SuggestGrid(rows, cols);

    // The window shows the suggestion and a probe diameter of 0 first.
    pelmora::DrapeSettings settings;
    settings.interpolate = interpolate;
    settings.showProgress = showProgress;
    if (!GetSurfaceParameters(rows, cols, settings.probeDiameter, parent))
      return 0;
    settings.rows = rows;
    settings.cols = cols;
    return frame.Drape(settings, matrix, surface);
  });
}
