// PMSurface::WrapMesh: the choice between the convex and the concave wrap.
#include "PMSurface.h"

int PMSurface::WrapMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int concave, int showProgress)
{
  if (concave == 0)
    return WrapConvexMesh(mesh, points, showProgress);
  return WrapConcaveMesh(mesh, points, showProgress);
}
