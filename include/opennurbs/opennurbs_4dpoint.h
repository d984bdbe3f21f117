// Homogeneous 4d point and the control point styles of the NURBS types.
#pragma once

#include "opennurbs_defines.h"

// Namespace-like class of toolkit-wide enumerations.
class ON_CLASS ON
{
public:
  // How a control point is laid out in a plain array of doubles.
  enum point_style : unsigned int
  {
    unknown_point_style = 0,
    not_rational = 1,         // x, y, z (dimension values)
    homogeneous_rational = 2, // w*x, w*y, w*z, w
    euclidean_rational = 3,   // x, y, z, w
    intrinsic_point_style = 4 // the object's own storage layout
  };
};

// Homogeneous point (w*x, w*y, w*z, w). Default construction leaves the
// coordinates uninitialised, like the other point types.
class ON_CLASS ON_4dPoint
{
public:
  double x, y, z, w;

  ON_4dPoint() = default;
  ON_4dPoint(double x_, double y_, double z_, double w_) : x(x_), y(y_), z(z_), w(w_) {}

  bool operator==(const ON_4dPoint &p) const
  {
    return x == p.x && y == p.y && z == p.z && w == p.w;
  }
  bool operator!=(const ON_4dPoint &p) const { return !(*this == p); }
};
