// Point and vector constants, validity and transforms.
#include "opennurbs/opennurbs_point.h"
#include "opennurbs/opennurbs_xform.h"

#include <cmath>

const ON_2dPoint ON_2dPoint::Origin(0.0, 0.0);
const ON_2dPoint ON_2dPoint::UnsetPoint(ON_UNSET_VALUE, ON_UNSET_VALUE);
const ON_2dVector ON_2dVector::ZeroVector(0.0, 0.0);
const ON_2dVector ON_2dVector::XAxis(1.0, 0.0);
const ON_2dVector ON_2dVector::YAxis(0.0, 1.0);
const ON_2dVector ON_2dVector::UnsetVector(ON_UNSET_VALUE, ON_UNSET_VALUE);

const ON_3dPoint ON_3dPoint::Origin(0.0, 0.0, 0.0);
const ON_3dPoint ON_3dPoint::UnsetPoint(ON_UNSET_VALUE, ON_UNSET_VALUE, ON_UNSET_VALUE);
const ON_3dVector ON_3dVector::ZeroVector(0.0, 0.0, 0.0);
const ON_3dVector ON_3dVector::XAxis(1.0, 0.0, 0.0);
const ON_3dVector ON_3dVector::YAxis(0.0, 1.0, 0.0);
const ON_3dVector ON_3dVector::ZAxis(0.0, 0.0, 1.0);
const ON_3dVector ON_3dVector::UnsetVector(ON_UNSET_VALUE, ON_UNSET_VALUE, ON_UNSET_VALUE);

bool ON_2dPoint::IsValid() const
{
  return ON_IsValid(x) && ON_IsValid(y);
}

bool ON_2dVector::IsValid() const
{
  return ON_IsValid(x) && ON_IsValid(y);
}

bool ON_3dPoint::IsValid() const
{
  return ON_IsValid(x) && ON_IsValid(y) && ON_IsValid(z);
}

bool ON_3dVector::IsValid() const
{
  return ON_IsValid(x) && ON_IsValid(y) && ON_IsValid(z);
}

bool ON_3dVector::IsTiny(double tiny_tol) const
{
  return std::fabs(x) <= tiny_tol && std::fabs(y) <= tiny_tol && std::fabs(z) <= tiny_tol;
}

double ON_3dPoint::MaximumCoordinate() const
{
  double c = std::fabs(x);
  if (std::fabs(y) > c)
    c = std::fabs(y);
  if (std::fabs(z) > c)
    c = std::fabs(z);
  return c;
}

void ON_3dPoint::Transform(const ON_Xform &xform)
{
  const double(*m)[4] = xform.m_xform;
  double w = m[3][0] * x + m[3][1] * y + m[3][2] * z + m[3][3];
  if (w != 0.0)
    w = 1.0 / w;
  const double tx = w * (m[0][0] * x + m[0][1] * y + m[0][2] * z + m[0][3]);
  const double ty = w * (m[1][0] * x + m[1][1] * y + m[1][2] * z + m[1][3]);
  const double tz = w * (m[2][0] * x + m[2][1] * y + m[2][2] * z + m[2][3]);
  x = tx;
  y = ty;
  z = tz;
}

void ON_2dPoint::Transform(const ON_Xform &xform)
{
  const double(*m)[4] = xform.m_xform;
  double w = m[3][0] * x + m[3][1] * y + m[3][3];
  if (w != 0.0)
    w = 1.0 / w;
  const double tx = w * (m[0][0] * x + m[0][1] * y + m[0][3]);
  const double ty = w * (m[1][0] * x + m[1][1] * y + m[1][3]);
  x = tx;
  y = ty;
}

void ON_3dVector::Transform(const ON_Xform &xform)
{
  const double(*m)[4] = xform.m_xform;
  const double tx = m[0][0] * x + m[0][1] * y + m[0][2] * z;
  const double ty = m[1][0] * x + m[1][1] * y + m[1][2] * z;
  const double tz = m[2][0] * x + m[2][1] * y + m[2][2] * z;
  x = tx;
  y = ty;
  z = tz;
}

bool ON_3dVector::PerpendicularTo(const ON_3dVector &v)
{
  const ON_3dVector u = v; // v may be *this
  const double ax = std::fabs(u.x);
  const double ay = std::fabs(u.y);
  const double az = std::fabs(u.z);
  double lead;
  if (ay > ax) {
    if (az > ay) {
      Set(0.0, u.z, -u.y);
      lead = u.z;
    } else if (az >= ax) {
      Set(0.0, -u.z, u.y);
      lead = u.y;
    } else {
      Set(u.y, -u.x, 0.0);
      lead = u.y;
    }
  } else if (az > ax) {
    Set(u.z, 0.0, -u.x);
    lead = u.z;
  } else if (az > ay) {
    Set(-u.z, 0.0, u.x);
    lead = u.x;
  } else {
    Set(-u.y, u.x, 0.0);
    lead = u.x;
  }
  return lead != 0.0;
}
