// PMSurface::WrapConvexMesh: the exact convex hull of the cloud (qhull, in
// double precision), its faces facing outward.
#include "PMSurface.h"
#include "wrap/ConvexHull.h"
#include "wrap/StageProgress.h"
#include "wrap/VtkWarningsOff.h"
#include "wrap/WrapFrame.h"

int PMSurface::WrapConvexMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress)
{
  using namespace pelmora::wrap;
  return HandOverWrap(mesh, showProgress, [&](ON_Mesh &working) {
    const VtkWarningsOff quiet; // as every wrap, for the host's setting
    StageProgress progress("Wrapping convex mesh", showProgress);
    if (!ComputeConvexHull(points, progress, working))
      return false;
    progress.Finish();
    return true;
  });
}
