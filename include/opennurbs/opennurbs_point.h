// Points and vectors in double and single precision.
//
// Every arithmetic operator is a plain componentwise IEEE operation; equality
// is exact (no tolerance, -0 == 0, NaN never equal). Default construction
// leaves the coordinates uninitialised. Indexing clamps: i <= 0 is x, the
// highest index or above is the last coordinate.
#pragma once

#include "opennurbs_defines.h"

class ON_Xform;
class ON_2dVector;
class ON_3dPoint;
class ON_3dVector;
class ON_3fPoint;

class ON_CLASS ON_2dPoint
{
public:
  double x, y;

  ON_2dPoint() = default;
  constexpr ON_2dPoint(double x_, double y_) : x(x_), y(y_) {}
  // Keeps x and y, drops z.
  ON_2dPoint(const ON_3dPoint &p);

  double operator[](int i) const { return i <= 0 ? x : y; }
  double &operator[](int i) { return i <= 0 ? x : y; }

  ON_2dPoint &operator+=(const ON_2dVector &v);
  ON_2dPoint &operator-=(const ON_2dVector &v);
  ON_2dPoint &operator*=(double d)
  {
    x *= d;
    y *= d;
    return *this;
  }
  // Multiplies by the reciprocal 1/d.
  ON_2dPoint &operator/=(double d);
  ON_2dPoint operator+(const ON_2dVector &v) const;
  ON_2dPoint operator+(const ON_2dPoint &p) const { return ON_2dPoint(x + p.x, y + p.y); }
  ON_2dPoint operator-(const ON_2dVector &v) const;
  ON_2dVector operator-(const ON_2dPoint &p) const;
  ON_2dPoint operator*(double d) const { return ON_2dPoint(x * d, y * d); }
  ON_2dPoint operator/(double d) const;

  bool operator==(const ON_2dPoint &p) const { return x == p.x && y == p.y; }
  bool operator!=(const ON_2dPoint &p) const { return !(x == p.x && y == p.y); }

  void Set(double x_, double y_)
  {
    x = x_;
    y = y_;
  }
  // Both coordinates pass ON_IsValid.
  bool IsValid() const;
  // Scaled planar distance: the larger absolute difference m times
  // sqrt(1 + (other/m)^2); a (3,4) offset gives exactly 5.
  double DistanceTo(const ON_2dPoint &p) const;
  // Homogeneous transform with z omitted (see ON_3dPoint::Transform).
  void Transform(const ON_Xform &xform);

  static const ON_2dPoint Origin;
  static const ON_2dPoint UnsetPoint;
};

class ON_CLASS ON_2dVector
{
public:
  double x, y;

  ON_2dVector() = default;
  constexpr ON_2dVector(double x_, double y_) : x(x_), y(y_) {}

  double operator[](int i) const { return i <= 0 ? x : y; }
  double &operator[](int i) { return i <= 0 ? x : y; }

  ON_2dVector &operator+=(const ON_2dVector &v)
  {
    x += v.x;
    y += v.y;
    return *this;
  }
  ON_2dVector &operator-=(const ON_2dVector &v)
  {
    x -= v.x;
    y -= v.y;
    return *this;
  }
  ON_2dVector &operator*=(double d)
  {
    x *= d;
    y *= d;
    return *this;
  }
  ON_2dVector &operator/=(double d);
  ON_2dVector operator+(const ON_2dVector &v) const { return ON_2dVector(x + v.x, y + v.y); }
  ON_2dVector operator-(const ON_2dVector &v) const { return ON_2dVector(x - v.x, y - v.y); }
  ON_2dVector operator-() const { return ON_2dVector(-x, -y); }
  ON_2dVector operator*(double d) const { return ON_2dVector(x * d, y * d); }
  ON_2dVector operator/(double d) const;
  // Dot product.
  double operator*(const ON_2dVector &v) const { return x * v.x + y * v.y; }

  bool operator==(const ON_2dVector &v) const { return x == v.x && y == v.y; }
  bool operator!=(const ON_2dVector &v) const { return !(x == v.x && y == v.y); }

  void Set(double x_, double y_)
  {
    x = x_;
    y = y_;
  }
  bool IsValid() const;
  bool IsZero() const { return x == 0.0 && y == 0.0; }
  // Scaled length: swap when |y| > |x|, then m * sqrt(1 + (p/m)^2).
  double Length() const;
  double LengthSquared() const { return x * x + y * y; }
  // Divides by Length(); on a zero, infinite or NaN length sets (0,0) and
  // returns false.
  bool Unitize();
  void Reverse()
  {
    x = -x;
    y = -y;
  }

  static const ON_2dVector ZeroVector;
  static const ON_2dVector XAxis;
  static const ON_2dVector YAxis;
  static const ON_2dVector UnsetVector;
};

class ON_CLASS ON_3dPoint
{
public:
  double x, y, z;

  ON_3dPoint() = default;
  constexpr ON_3dPoint(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
  ON_3dPoint(const ON_3dVector &v);
  ON_3dPoint(const ON_3fPoint &p);
  explicit ON_3dPoint(const ON_2dPoint &p) : x(p.x), y(p.y), z(0.0) {}
  // Reads three doubles.
  explicit ON_3dPoint(const double *xyz) : x(xyz[0]), y(xyz[1]), z(xyz[2]) {}

  double operator[](int i) const { return i <= 0 ? x : (i >= 2 ? z : y); }
  double &operator[](int i) { return i <= 0 ? x : (i >= 2 ? z : y); }

  ON_3dPoint &operator+=(const ON_3dVector &v);
  ON_3dPoint &operator-=(const ON_3dVector &v);
  ON_3dPoint &operator+=(const ON_3dPoint &p)
  {
    x += p.x;
    y += p.y;
    z += p.z;
    return *this;
  }
  ON_3dPoint &operator-=(const ON_3dPoint &p)
  {
    x -= p.x;
    y -= p.y;
    z -= p.z;
    return *this;
  }
  ON_3dPoint &operator*=(double d)
  {
    x *= d;
    y *= d;
    z *= d;
    return *this;
  }
  // Multiplies by the reciprocal 1/d.
  ON_3dPoint &operator/=(double d);
  ON_3dPoint operator+(const ON_3dVector &v) const;
  ON_3dPoint operator+(const ON_3dPoint &p) const { return ON_3dPoint(x + p.x, y + p.y, z + p.z); }
  ON_3dPoint operator-(const ON_3dVector &v) const;
  ON_3dVector operator-(const ON_3dPoint &p) const;
  ON_3dPoint operator*(double d) const { return ON_3dPoint(x * d, y * d, z * d); }
  ON_3dPoint operator/(double d) const;

  bool operator==(const ON_3dPoint &p) const { return x == p.x && y == p.y && z == p.z; }
  bool operator!=(const ON_3dPoint &p) const { return !(x == p.x && y == p.y && z == p.z); }

  void Set(double x_, double y_, double z_)
  {
    x = x_;
    y = y_;
    z = z_;
  }
  // All three coordinates pass ON_IsValid.
  bool IsValid() const;
  // Scaled length of the difference (see ON_3dVector::Length).
  double DistanceTo(const ON_3dPoint &p) const;
  // Largest absolute coordinate.
  double MaximumCoordinate() const;
  // Treats the point as (x, y, z, 1): w = row 3 . p; w becomes 1/w unless it
  // is 0 (then the point becomes (0,0,0)); each coordinate is w times its
  // row's sum. Non-finite input gives NaN.
  void Transform(const ON_Xform &xform);

  static const ON_3dPoint Origin;
  static const ON_3dPoint UnsetPoint;
};

class ON_CLASS ON_3dVector
{
public:
  double x, y, z;

  ON_3dVector() = default;
  constexpr ON_3dVector(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
  explicit ON_3dVector(const ON_3dPoint &p) : x(p.x), y(p.y), z(p.z) {}
  explicit ON_3dVector(const double *xyz) : x(xyz[0]), y(xyz[1]), z(xyz[2]) {}

  double operator[](int i) const { return i <= 0 ? x : (i >= 2 ? z : y); }
  double &operator[](int i) { return i <= 0 ? x : (i >= 2 ? z : y); }

  ON_3dVector &operator+=(const ON_3dVector &v)
  {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
  }
  ON_3dVector &operator-=(const ON_3dVector &v)
  {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
  }
  ON_3dVector &operator*=(double d)
  {
    x *= d;
    y *= d;
    z *= d;
    return *this;
  }
  // Multiplies by the reciprocal 1/d.
  ON_3dVector &operator/=(double d);
  ON_3dVector operator+(const ON_3dVector &v) const
  {
    return ON_3dVector(x + v.x, y + v.y, z + v.z);
  }
  ON_3dVector operator-(const ON_3dVector &v) const
  {
    return ON_3dVector(x - v.x, y - v.y, z - v.z);
  }
  ON_3dVector operator-() const { return ON_3dVector(-x, -y, -z); }
  ON_3dVector operator*(double d) const { return ON_3dVector(x * d, y * d, z * d); }
  // r = 1/d, then each coordinate times r.
  ON_3dVector operator/(double d) const;
  // Dot product x*x' + y*y' + z*z'.
  double operator*(const ON_3dVector &v) const { return x * v.x + y * v.y + z * v.z; }

  bool operator==(const ON_3dVector &v) const { return x == v.x && y == v.y && z == v.z; }
  bool operator!=(const ON_3dVector &v) const { return !(x == v.x && y == v.y && z == v.z); }

  void Set(double x_, double y_, double z_)
  {
    x = x_;
    y = y_;
    z = z_;
  }
  bool IsValid() const;
  // All three exactly 0.
  bool IsZero() const { return x == 0.0 && y == 0.0 && z == 0.0; }
  // All three |c| <= tiny_tol.
  bool IsTiny(double tiny_tol = ON_ZERO_TOLERANCE) const;
  // Scaled length: the largest absolute coordinate m (ties prefer x, then y)
  // times sqrt(1 + (p/m)^2 + (q/m)^2); m itself for denormal m; 0 for the
  // zero vector and for NaN in the leading place. (3,4,0) gives exactly 5.
  double Length() const;
  double LengthSquared() const { return x * x + y * y + z * z; }
  // Divides each coordinate by Length() and returns true. A denormal vector
  // is rescaled by 2^1023 first. A zero, infinite or NaN vector becomes
  // (0,0,0) and the result is false. Axis-aligned input gives the exact axis.
  bool Unitize();
  // Negates every coordinate (0 becomes -0).
  void Reverse()
  {
    x = -x;
    y = -y;
    z = -z;
  }
  // Sets *this to a vector perpendicular to v made of v's two largest
  // coordinates, swapped with one sign change, and 0. False only for the
  // zero vector (result (-0,0,0)). Not unitized. v may be *this.
  bool PerpendicularTo(const ON_3dVector &v);
  // Upper-left 3x3 block only (no translation, no division).
  void Transform(const ON_Xform &xform);

  static double DotProduct(ON_3dVector a, ON_3dVector b)
  {
    return a.x * b.x + a.y * b.y + a.z * b.z;
  }
  static const ON_3dVector CrossProduct(ON_3dVector a, ON_3dVector b);

  static const ON_3dVector ZeroVector;
  static const ON_3dVector XAxis;
  static const ON_3dVector YAxis;
  static const ON_3dVector ZAxis;
  static const ON_3dVector UnsetVector;
};

class ON_CLASS ON_3fPoint
{
public:
  float x, y, z;

  ON_3fPoint() = default;
  constexpr ON_3fPoint(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
  // Plain (float) cast of each coordinate.
  ON_3fPoint(const ON_3dPoint &p) : x((float)p.x), y((float)p.y), z((float)p.z) {}
  ON_3fPoint &operator=(const ON_3dPoint &p)
  {
    x = (float)p.x;
    y = (float)p.y;
    z = (float)p.z;
    return *this;
  }

  float operator[](int i) const { return i <= 0 ? x : (i >= 2 ? z : y); }
  float &operator[](int i) { return i <= 0 ? x : (i >= 2 ? z : y); }

  bool operator==(const ON_3fPoint &p) const { return x == p.x && y == p.y && z == p.z; }
  bool operator!=(const ON_3fPoint &p) const { return !(x == p.x && y == p.y && z == p.z); }

  void Set(float x_, float y_, float z_)
  {
    x = x_;
    y = y_;
    z = z_;
  }
  // Every coordinate strictly between ON_UNSET_FLOAT and ON_UNSET_POSITIVE_FLOAT.
  bool IsValid() const
  {
    return ON_IS_VALID_FLOAT(x) && ON_IS_VALID_FLOAT(y) && ON_IS_VALID_FLOAT(z);
  }
};

class ON_CLASS ON_3fVector
{
public:
  float x, y, z;

  ON_3fVector() = default;
  constexpr ON_3fVector(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
  explicit ON_3fVector(const ON_3dVector &v) : x((float)v.x), y((float)v.y), z((float)v.z) {}

  float operator[](int i) const { return i <= 0 ? x : (i >= 2 ? z : y); }
  float &operator[](int i) { return i <= 0 ? x : (i >= 2 ? z : y); }

  ON_3fVector operator-() const { return ON_3fVector(-x, -y, -z); }
  bool operator==(const ON_3fVector &v) const { return x == v.x && y == v.y && z == v.z; }
  bool operator!=(const ON_3fVector &v) const { return !(x == v.x && y == v.y && z == v.z); }

  void Set(float x_, float y_, float z_)
  {
    x = x_;
    y = y_;
    z = z_;
  }
  // Computed in single precision.
  float LengthSquared() const { return x * x + y * y + z * z; }
  void Reverse()
  {
    x = -x;
    y = -y;
    z = -z;
  }
};

class ON_CLASS ON_2fPoint
{
public:
  float x, y;

  ON_2fPoint() = default;
  constexpr ON_2fPoint(float x_, float y_) : x(x_), y(y_) {}
  explicit ON_2fPoint(const ON_2dPoint &p) : x((float)p.x), y((float)p.y) {}

  bool operator==(const ON_2fPoint &p) const { return x == p.x && y == p.y; }
  bool operator!=(const ON_2fPoint &p) const { return !(x == p.x && y == p.y); }
};

// a.x*b.x + a.y*b.y + a.z*b.z
inline double ON_DotProduct(const ON_3dVector &a, const ON_3dVector &b)
{
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

// (a.y*b.z - b.y*a.z, a.z*b.x - b.z*a.x, a.x*b.y - b.x*a.y), in that grouping.
inline ON_3dVector ON_CrossProduct(const ON_3dVector &a, const ON_3dVector &b)
{
  return ON_3dVector(a.y * b.z - b.y * a.z, a.z * b.x - b.z * a.x, a.x * b.y - b.x * a.y);
}

inline double ON_DotProduct(const ON_2dVector &a, const ON_2dVector &b)
{
  return a.x * b.x + a.y * b.y;
}

// ---- inline definitions that need every class complete ----

inline ON_2dPoint::ON_2dPoint(const ON_3dPoint &p) : x(p.x), y(p.y) {}
inline ON_2dPoint &ON_2dPoint::operator+=(const ON_2dVector &v)
{
  x += v.x;
  y += v.y;
  return *this;
}
inline ON_2dPoint &ON_2dPoint::operator-=(const ON_2dVector &v)
{
  x -= v.x;
  y -= v.y;
  return *this;
}
inline ON_2dPoint &ON_2dPoint::operator/=(double d)
{
  const double r = 1.0 / d;
  x *= r;
  y *= r;
  return *this;
}
inline ON_2dPoint ON_2dPoint::operator+(const ON_2dVector &v) const
{
  return ON_2dPoint(x + v.x, y + v.y);
}
inline ON_2dPoint ON_2dPoint::operator-(const ON_2dVector &v) const
{
  return ON_2dPoint(x - v.x, y - v.y);
}
inline ON_2dVector ON_2dPoint::operator-(const ON_2dPoint &p) const
{
  return ON_2dVector(x - p.x, y - p.y);
}
inline ON_2dPoint ON_2dPoint::operator/(double d) const
{
  const double r = 1.0 / d;
  return ON_2dPoint(x * r, y * r);
}

inline ON_2dVector &ON_2dVector::operator/=(double d)
{
  const double r = 1.0 / d;
  x *= r;
  y *= r;
  return *this;
}
inline ON_2dVector ON_2dVector::operator/(double d) const
{
  const double r = 1.0 / d;
  return ON_2dVector(x * r, y * r);
}

inline ON_3dPoint::ON_3dPoint(const ON_3dVector &v) : x(v.x), y(v.y), z(v.z) {}
inline ON_3dPoint::ON_3dPoint(const ON_3fPoint &p) : x(p.x), y(p.y), z(p.z) {}
inline ON_3dPoint &ON_3dPoint::operator+=(const ON_3dVector &v)
{
  x += v.x;
  y += v.y;
  z += v.z;
  return *this;
}
inline ON_3dPoint &ON_3dPoint::operator-=(const ON_3dVector &v)
{
  x -= v.x;
  y -= v.y;
  z -= v.z;
  return *this;
}
inline ON_3dPoint &ON_3dPoint::operator/=(double d)
{
  const double r = 1.0 / d;
  x *= r;
  y *= r;
  z *= r;
  return *this;
}
inline ON_3dPoint ON_3dPoint::operator+(const ON_3dVector &v) const
{
  return ON_3dPoint(x + v.x, y + v.y, z + v.z);
}
inline ON_3dPoint ON_3dPoint::operator-(const ON_3dVector &v) const
{
  return ON_3dPoint(x - v.x, y - v.y, z - v.z);
}
inline ON_3dVector ON_3dPoint::operator-(const ON_3dPoint &p) const
{
  return ON_3dVector(x - p.x, y - p.y, z - p.z);
}
inline ON_3dPoint ON_3dPoint::operator/(double d) const
{
  const double r = 1.0 / d;
  return ON_3dPoint(x * r, y * r, z * r);
}

inline ON_3dVector &ON_3dVector::operator/=(double d)
{
  const double r = 1.0 / d;
  x *= r;
  y *= r;
  z *= r;
  return *this;
}
inline ON_3dVector ON_3dVector::operator/(double d) const
{
  const double r = 1.0 / d;
  return ON_3dVector(x * r, y * r, z * r);
}
inline const ON_3dVector ON_3dVector::CrossProduct(ON_3dVector a, ON_3dVector b)
{
  return ON_CrossProduct(a, b);
}

inline ON_3dVector operator*(double d, const ON_3dVector &v)
{
  return ON_3dVector(d * v.x, d * v.y, d * v.z);
}
inline ON_3dPoint operator*(double d, const ON_3dPoint &p)
{
  return ON_3dPoint(d * p.x, d * p.y, d * p.z);
}
inline ON_2dVector operator*(double d, const ON_2dVector &v)
{
  return ON_2dVector(d * v.x, d * v.y);
}
inline ON_2dPoint operator*(double d, const ON_2dPoint &p)
{
  return ON_2dPoint(d * p.x, d * p.y);
}
inline ON_3dPoint operator+(const ON_3dVector &v, const ON_3dPoint &p)
{
  return ON_3dPoint(v.x + p.x, v.y + p.y, v.z + p.z);
}

// Old name of ON_3dPoint::UnsetPoint.
#define ON_UNSET_POINT ON_3dPoint::UnsetPoint
#define ON_UNSET_VECTOR ON_3dVector::UnsetVector
