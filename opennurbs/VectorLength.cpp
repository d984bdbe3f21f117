// Scaled lengths and unitizing: the largest coordinate is factored out so
// that squares neither overflow nor underflow.
#include "opennurbs/opennurbs_point.h"

#include <cmath>

namespace {

// Length of a vector whose absolute coordinates are m (the leading one), p
// and q.
double ScaledLength3(double m, double p, double q)
{
  if (m > ON_DBL_MIN) {
    p = p / m;
    q = q / m;
    return m * std::sqrt(1.0 + p * p + q * q);
  }
  if (m > 0.0 && std::isfinite(m))
    return m;
  return 0.0;
}

double ScaledLength2(double m, double p)
{
  if (m > ON_DBL_MIN) {
    p = p / m;
    return m * std::sqrt(1.0 + p * p);
  }
  if (m > 0.0 && std::isfinite(m))
    return m;
  return 0.0;
}

double Length2(double x, double y)
{
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  return (ay > ax) ? ScaledLength2(ay, ax) : ScaledLength2(ax, ay);
}

// 2^1023: lifts a denormal vector into the normal range.
const double kRescale = 8.9884656743115795386465259539451e+307;

} // namespace

double ON_3dVector::Length() const
{
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  const double az = std::fabs(z);
  if (ay >= ax && ay >= az)
    return ScaledLength3(ay, ax, az);
  if (az >= ax && az >= ay)
    return ScaledLength3(az, ay, ax);
  return ScaledLength3(ax, ay, az);
}

bool ON_3dVector::Unitize()
{
  double d = Length();
  if (std::isfinite(d)) {
    if (d > ON_DBL_MIN) {
      x = x / d;
      y = y / d;
      z = z / d;
      return true;
    }
    if (d > 0.0) {
      const ON_3dVector big(x * kRescale, y * kRescale, z * kRescale);
      d = big.Length();
      if (std::isfinite(d) && d > ON_DBL_MIN) {
        x = big.x / d;
        y = big.y / d;
        z = big.z / d;
        return true;
      }
    }
  }
  x = 0.0;
  y = 0.0;
  z = 0.0;
  return false;
}

double ON_2dVector::Length() const
{
  return Length2(x, y);
}

bool ON_2dVector::Unitize()
{
  double d = Length();
  if (std::isfinite(d)) {
    if (d > ON_DBL_MIN) {
      x = x / d;
      y = y / d;
      return true;
    }
    if (d > 0.0) {
      const ON_2dVector big(x * kRescale, y * kRescale);
      d = big.Length();
      if (std::isfinite(d) && d > ON_DBL_MIN) {
        x = big.x / d;
        y = big.y / d;
        return true;
      }
    }
  }
  x = 0.0;
  y = 0.0;
  return false;
}

double ON_2dPoint::DistanceTo(const ON_2dPoint &p) const
{
  return Length2(p.x - x, p.y - y);
}

double ON_3dPoint::DistanceTo(const ON_3dPoint &p) const
{
  return (p - *this).Length();
}
