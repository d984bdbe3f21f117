// Planes as an origin with a right-handed orthonormal frame, and plane
// equations.
#pragma once

#include "opennurbs_point.h"

// x*X + y*Y + z*Z + d = 0.
class ON_CLASS ON_PlaneEquation
{
public:
  double x, y, z, d;

  // (0, 0, 0, 0).
  constexpr ON_PlaneEquation() : x(0.0), y(0.0), z(0.0), d(0.0) {}
  constexpr ON_PlaneEquation(double x_, double y_, double z_, double d_)
      : x(x_), y(y_), z(z_), d(d_)
  {
  }

  // When P and N are valid: (x,y,z) = N, unitized in place unless its length
  // is within ON_ZERO_TOLERANCE of 1 (the result of that is returned), then
  // d = -(x*P.x + y*P.y + z*P.z). Otherwise nothing is written and the
  // result is false.
  bool Create(const ON_3dPoint &P, const ON_3dVector &N);
  // All four values pass ON_IsValid and (x,y,z) is not zero.
  bool IsValid() const;
  // x*P.x + y*P.y + z*P.z + d.
  double ValueAt(const ON_3dPoint &P) const { return x * P.x + y * P.y + z * P.z + d; }
  // (x,y,z) unitized.
  ON_3dVector UnitNormal() const;
};

class ON_CLASS ON_Plane
{
public:
  ON_3dPoint origin;
  ON_3dVector xaxis;
  ON_3dVector yaxis;
  ON_3dVector zaxis;
  ON_PlaneEquation plane_equation;

  // The world XY plane: origin 0, axes (1,0,0), (0,1,0), (0,0,1), equation
  // (0,0,1,0).
  constexpr ON_Plane()
      : origin(0.0, 0.0, 0.0), xaxis(1.0, 0.0, 0.0), yaxis(0.0, 1.0, 0.0), zaxis(0.0, 0.0, 1.0),
        plane_equation(0.0, 0.0, 1.0, 0.0)
  {
  }
  // CreateFromNormal (result discarded).
  ON_Plane(const ON_3dPoint &origin, const ON_3dVector &normal);
  // CreateFromFrame (result discarded).
  ON_Plane(const ON_3dPoint &origin, const ON_3dVector &x_dir, const ON_3dVector &y_dir);

  // zaxis = unitized normal; xaxis = PerpendicularTo(zaxis), unitized;
  // yaxis = zaxis x xaxis, unitized; then UpdateEquation. Returns whether
  // the normal could be unitized; a zero normal leaves all three axes zero.
  bool CreateFromNormal(const ON_3dPoint &origin, const ON_3dVector &normal);
  // xaxis = unitized x_dir; yaxis = y_dir minus its xaxis part, unitized;
  // zaxis = xaxis x yaxis, unitized; then UpdateEquation. True when the
  // frame is valid and y_dir lies in the plane. Parallel inputs give zero
  // y and z axes and false.
  bool CreateFromFrame(const ON_3dPoint &origin, const ON_3dVector &x_dir,
                       const ON_3dVector &y_dir);
  // plane_equation.Create(origin, zaxis).
  bool UpdateEquation();
  // Valid equation that vanishes at the origin, right-handed orthonormal
  // axes, and the equation's normal along zaxis.
  bool IsValid() const;

  const ON_3dPoint &Origin() const { return origin; }
  const ON_3dVector &Xaxis() const { return xaxis; }
  const ON_3dVector &Yaxis() const { return yaxis; }
  const ON_3dVector &Zaxis() const { return zaxis; }
  const ON_3dVector &Normal() const { return zaxis; }
  // origin + u*xaxis + v*yaxis.
  ON_3dPoint PointAt(double u, double v) const;

  static const ON_Plane World_xy;
};

// Pairwise dot products within ON_SQRT_EPSILON of 0 and lengths within
// ON_SQRT_EPSILON of 1.
ON_DECL bool ON_IsOrthonormalFrame(const ON_3dVector &X, const ON_3dVector &Y,
                                   const ON_3dVector &Z);
// Orthonormal and (X x Y) . Z > ON_SQRT_EPSILON.
ON_DECL bool ON_IsRightHandFrame(const ON_3dVector &X, const ON_3dVector &Y, const ON_3dVector &Z);
