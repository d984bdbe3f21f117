// PMSurface::WrapConvexMesh: the exact convex hull of the cloud (qhull, in
// double precision), its faces facing outward.
#include "PMSurface.h"
#include "wrap/ConvexHull.h"
#include "wrap/StageProgress.h"
#include "wrap/WrapFrame.h"

#include <vtkObject.h>

int PMSurface::WrapConvexMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress)
{
  using namespace pelmora::wrap;
  // The process-wide VTK warning switch is part of every wrap's contract.
  vtkObject::GlobalWarningDisplayOff();
  return HandOverWrap(mesh, showProgress, [&](ON_Mesh &working) {
    StageProgress progress("Wrapping convex mesh", showProgress);
    if (!ComputeConvexHull(points, progress, working))
      return false;
    progress.Finish();
    return true;
  });
}
