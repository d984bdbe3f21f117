// Plane frames from a normal or from two directions, and plane equations.
#include "opennurbs/opennurbs_plane.h"

#include <cmath>

const ON_Plane ON_Plane::World_xy;

bool ON_PlaneEquation::Create(const ON_3dPoint &P, const ON_3dVector &N)
{
  if (!P.IsValid() || !N.IsValid())
    return false;
  ON_3dVector n = N;
  bool rc = true;
  if (std::fabs(1.0 - n.Length()) > ON_ZERO_TOLERANCE)
    rc = n.Unitize();
  x = n.x;
  y = n.y;
  z = n.z;
  d = -(x * P.x + y * P.y + z * P.z);
  return rc;
}

bool ON_PlaneEquation::IsValid() const
{
  return ON_IsValid(x) && ON_IsValid(y) && ON_IsValid(z) && ON_IsValid(d) &&
         (x != 0.0 || y != 0.0 || z != 0.0);
}

ON_3dVector ON_PlaneEquation::UnitNormal() const
{
  ON_3dVector n(x, y, z);
  n.Unitize();
  return n;
}

ON_Plane::ON_Plane(const ON_3dPoint &P, const ON_3dVector &N) : ON_Plane()
{
  CreateFromNormal(P, N);
}

ON_Plane::ON_Plane(const ON_3dPoint &P, const ON_3dVector &X, const ON_3dVector &Y) : ON_Plane()
{
  CreateFromFrame(P, X, Y);
}

bool ON_Plane::CreateFromNormal(const ON_3dPoint &P, const ON_3dVector &N)
{
  origin = P;
  zaxis = N;
  const bool ok = zaxis.Unitize();
  xaxis.PerpendicularTo(zaxis);
  xaxis.Unitize();
  yaxis = ON_CrossProduct(zaxis, xaxis);
  yaxis.Unitize();
  UpdateEquation();
  return ok;
}

bool ON_Plane::CreateFromFrame(const ON_3dPoint &P, const ON_3dVector &X, const ON_3dVector &Y)
{
  const ON_3dPoint p = P; // the inputs may be members of this plane
  const ON_3dVector x_dir = X;
  const ON_3dVector y_dir = Y;
  origin = p;
  xaxis = x_dir;
  xaxis.Unitize();
  yaxis = y_dir - ON_DotProduct(y_dir, xaxis) * xaxis;
  yaxis.Unitize();
  zaxis = ON_CrossProduct(xaxis, yaxis);
  bool ok = zaxis.Unitize();
  UpdateEquation();
  if (ok) {
    ok = IsValid();
    if (ok && std::fabs(ON_DotProduct(y_dir, zaxis)) > ON_SQRT_EPSILON * y_dir.Length())
      ok = false;
  }
  return ok;
}

bool ON_Plane::UpdateEquation()
{
  return plane_equation.Create(origin, zaxis);
}

bool ON_Plane::IsValid() const
{
  if (!plane_equation.IsValid())
    return false;
  const double value = std::fabs(plane_equation.ValueAt(origin));
  if (value > ON_ZERO_TOLERANCE) {
    // Far from the world origin the equation's value carries rounding of
    // the size of the coordinates.
    const double size = origin.MaximumCoordinate();
    if (!(size > 1000.0 && origin.IsValid() && value <= 10.0 * ON_EPSILON * size))
      return false;
  }
  if (!ON_IsRightHandFrame(xaxis, yaxis, zaxis))
    return false;
  const double cosine = ON_DotProduct(plane_equation.UnitNormal(), zaxis);
  return std::fabs(cosine - 1.0) <= ON_SQRT_EPSILON;
}

ON_3dPoint ON_Plane::PointAt(double u, double v) const
{
  return origin + u * xaxis + v * yaxis;
}

bool ON_IsOrthonormalFrame(const ON_3dVector &X, const ON_3dVector &Y, const ON_3dVector &Z)
{
  const double tol = ON_SQRT_EPSILON;
  if (!(std::fabs(X.Length() - 1.0) <= tol && std::fabs(Y.Length() - 1.0) <= tol &&
        std::fabs(Z.Length() - 1.0) <= tol))
    return false;
  return std::fabs(ON_DotProduct(X, Y)) <= tol && std::fabs(ON_DotProduct(Y, Z)) <= tol &&
         std::fabs(ON_DotProduct(Z, X)) <= tol;
}

bool ON_IsRightHandFrame(const ON_3dVector &X, const ON_3dVector &Y, const ON_3dVector &Z)
{
  return ON_IsOrthonormalFrame(X, Y, Z) &&
         ON_DotProduct(ON_CrossProduct(X, Y), Z) > ON_SQRT_EPSILON;
}
