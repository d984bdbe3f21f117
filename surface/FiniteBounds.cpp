#include "surface/FiniteBounds.h"

namespace pelmora {

FiniteBounds ComputeFiniteBounds(const ON_3dPointArray &points)
{
  FiniteBounds bounds;
  const int n = points.Count();
  const ON_3dPoint *p = points.Array();
  for (int i = 0; i < n; ++i) {
    const ON_3dPoint &q = p[i];
    if (!IsFinitePoint(q))
      continue;
    if (bounds.count++ == 0) {
      bounds.min = q;
      bounds.max = q;
      continue;
    }
    if (q.x < bounds.min.x)
      bounds.min.x = q.x;
    else if (q.x > bounds.max.x)
      bounds.max.x = q.x;
    if (q.y < bounds.min.y)
      bounds.min.y = q.y;
    else if (q.y > bounds.max.y)
      bounds.max.y = q.y;
    if (q.z < bounds.min.z)
      bounds.min.z = q.z;
    else if (q.z > bounds.max.z)
      bounds.max.z = q.z;
  }
  return bounds;
}

} // namespace pelmora
