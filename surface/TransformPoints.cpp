// PMSurface::TransformPoints: rotates points about the origin so that the
// drape direction and the negative world z axis are carried onto each other.
//
// The target frame is chosen from the unit direction d: a fixed axis frame
// for the five axis directions other than (0, 0, -1), otherwise the plane
// through the origin with normal -d. The rotation maps the world XY frame
// onto it; invert != 0 applies its inverse. For axis directions every entry
// of the matrix is 0 or +-1, so the map is an exact exchange of coordinates.
#include "PMSurface.h"
#include "framework/Guarded.h"
#include "surface/ProgressPhase.h"

#include <cmath>

namespace {

// d made unit length. False for a zero or non-finite direction (the points
// are then left as they are). A huge finite direction whose length
// overflows is scaled down first.
bool UnitDirection(const ON_3dVector &direction, ON_3dVector &d)
{
  if (!std::isfinite(direction.x) || !std::isfinite(direction.y) || !std::isfinite(direction.z))
    return false;
  d = direction;
  if (d.Unitize())
    return true;
  const double largest =
      std::fmax(std::fabs(direction.x), std::fmax(std::fabs(direction.y), std::fabs(direction.z)));
  if (!(largest > 0.0))
    return false;
  d = ON_3dVector(direction.x / largest, direction.y / largest, direction.z / largest);
  return d.Unitize();
}

ON_Plane TargetFrame(ON_3dVector d)
{
  const ON_3dPoint origin(0.0, 0.0, 0.0);
  if (d == ON_3dVector(0.0, 0.0, 1.0))
    return ON_Plane(origin, ON_3dVector(-1.0, 0.0, 0.0), ON_3dVector(0.0, 1.0, 0.0));
  if (d == ON_3dVector(0.0, 1.0, 0.0))
    return ON_Plane(origin, ON_3dVector(1.0, 0.0, 0.0), ON_3dVector(0.0, 0.0, 1.0));
  if (d == ON_3dVector(0.0, -1.0, 0.0))
    return ON_Plane(origin, ON_3dVector(-1.0, 0.0, 0.0), ON_3dVector(0.0, 0.0, 1.0));
  if (d == ON_3dVector(-1.0, 0.0, 0.0))
    return ON_Plane(origin, ON_3dVector(0.0, 1.0, 0.0), ON_3dVector(0.0, 0.0, 1.0));
  if (d == ON_3dVector(1.0, 0.0, 0.0))
    return ON_Plane(origin, ON_3dVector(0.0, -1.0, 0.0), ON_3dVector(0.0, 0.0, 1.0));
  d.Reverse();
  return ON_Plane(origin, d);
}

bool IsAffine(const ON_Xform &xform)
{
  return xform.m_xform[3][0] == 0.0 && xform.m_xform[3][1] == 0.0 && xform.m_xform[3][2] == 0.0 &&
         xform.m_xform[3][3] == 1.0;
}

// ON_3dPoint::Transform for a matrix whose bottom row is (0, 0, 0, 1): the
// homogeneous weight is then exactly 1, so the affine sums alone give the
// same bits for finite points.
inline void ApplyAffine(const double (&m)[4][4], ON_3dPoint &p)
{
  const double x = p.x, y = p.y, z = p.z;
  p.x = m[0][0] * x + m[0][1] * y + m[0][2] * z + m[0][3];
  p.y = m[1][0] * x + m[1][1] * y + m[1][2] * z + m[1][3];
  p.z = m[2][0] * x + m[2][1] * y + m[2][2] * z + m[2][3];
}

void TransformAll(ON_3dPointArray &points, const ON_Xform &xform, int showProgress)
{
  pelmora::ProgressPhase phase(L"Transforming points", showProgress);
  ON_3dPoint *p = points.Array();
  if (IsAffine(xform)) {
    const double(&m)[4][4] = xform.m_xform;
    phase.Run(points.Count(), [&](int i) { ApplyAffine(m, p[i]); });
  } else {
    phase.Run(points.Count(), [&](int i) { p[i].Transform(xform); });
  }
}

} // namespace

void PMSurface::TransformPoints(ON_3dPointArray &points, const ON_3dVector &direction, int invert,
                                int showProgress)
{
  // Only the progress window can throw (no memory); the points are then
  // left as far as the loop got.
  pelmora::Guarded([&] {
    ON_3dVector d;
    if (!UnitDirection(direction, d))
      return;
    if (d == ON_3dVector(0.0, 0.0, -1.0))
      return;
    const ON_Plane world(ON_3dPoint(0.0, 0.0, 0.0), ON_3dVector(1.0, 0.0, 0.0),
                         ON_3dVector(0.0, 1.0, 0.0));
    ON_Xform rotation;
    rotation.Rotation(world, TargetFrame(d));
    if (invert)
      rotation.Invert();
    TransformAll(points, rotation, showProgress);
  });
}
