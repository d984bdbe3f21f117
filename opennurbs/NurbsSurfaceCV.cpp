// Setting and reading control points and weights of ON_NurbsSurface.
#include "opennurbs.h"
#include "SurfaceWeights.h"

bool ON_NurbsSurface::SetCV(int i, int j, const ON_3dPoint &point)
{
  double *cv = CV(i, j);
  if (!cv)
    return false;
  cv[0] = point.x;
  if (m_dim > 1)
    cv[1] = point.y;
  if (m_dim > 2)
    cv[2] = point.z;
  if (m_is_rat)
    cv[m_dim] = 1.0;
  return true;
}

bool ON_NurbsSurface::SetCV(int i, int j, const ON_4dPoint &point)
{
  const double homogeneous[4] = {point.x, point.y, point.z, point.w};
  double *cv = CV(i, j);
  if (!cv)
    return false;
  const int count = m_dim < 3 ? m_dim : 3;
  if (m_is_rat) {
    for (int k = 0; k < count; ++k)
      cv[k] = homogeneous[k];
    for (int k = count; k < m_dim; ++k)
      cv[k] = 0.0;
    cv[m_dim] = point.w;
  } else {
    const double scale = (point.w != 0.0) ? 1.0 / point.w : 1.0;
    for (int k = 0; k < count; ++k)
      cv[k] = homogeneous[k] * scale;
  }
  return true;
}

bool ON_NurbsSurface::SetCV(int i, int j, ON::point_style style, const double *point)
{
  double *cv = CV(i, j);
  if (!cv || !point)
    return false;
  switch (style) {
  case ON::not_rational:
    for (int k = 0; k < m_dim; ++k)
      cv[k] = point[k];
    if (m_is_rat)
      cv[m_dim] = 1.0;
    return true;
  case ON::homogeneous_rational: {
    if (m_is_rat) {
      for (int k = 0; k <= m_dim; ++k)
        cv[k] = point[k];
    } else {
      const double scale = (point[m_dim] != 0.0) ? 1.0 / point[m_dim] : 1.0;
      for (int k = 0; k < m_dim; ++k)
        cv[k] = point[k] * scale;
    }
    return true;
  }
  case ON::euclidean_rational: {
    const double w = point[m_dim];
    for (int k = 0; k < m_dim; ++k)
      cv[k] = m_is_rat ? point[k] * w : point[k];
    if (m_is_rat)
      cv[m_dim] = w;
    return true;
  }
  case ON::intrinsic_point_style:
    for (int k = 0; k < CVSize(); ++k)
      cv[k] = point[k];
    return true;
  default:
    return false;
  }
}

bool ON_NurbsSurface::GetCV(int i, int j, ON_3dPoint &point) const
{
  const double *cv = CV(i, j);
  if (!cv)
    return false;
  const double w = m_is_rat ? cv[m_dim] : 1.0;
  if (w == 0.0)
    return false;
  const double scale = 1.0 / w;
  point.x = m_is_rat ? cv[0] * scale : cv[0];
  point.y = m_dim > 1 ? (m_is_rat ? cv[1] * scale : cv[1]) : 0.0;
  point.z = m_dim > 2 ? (m_is_rat ? cv[2] * scale : cv[2]) : 0.0;
  return true;
}

bool ON_NurbsSurface::GetCV(int i, int j, ON_4dPoint &point) const
{
  const double *cv = CV(i, j);
  if (!cv)
    return false;
  point.x = cv[0];
  point.y = m_dim > 1 ? cv[1] : 0.0;
  point.z = m_dim > 2 ? cv[2] : 0.0;
  point.w = m_is_rat ? cv[m_dim] : 1.0;
  return true;
}

bool ON_NurbsSurface::GetCV(int i, int j, ON::point_style style, double *point) const
{
  const double *cv = CV(i, j);
  if (!cv || !point)
    return false;
  const double w = m_is_rat ? cv[m_dim] : 1.0;
  switch (style) {
  case ON::not_rational:
  case ON::euclidean_rational: {
    if (w == 0.0)
      return false;
    const double scale = 1.0 / w;
    for (int k = 0; k < m_dim; ++k)
      point[k] = m_is_rat ? cv[k] * scale : cv[k];
    if (style == ON::euclidean_rational)
      point[m_dim] = w;
    return true;
  }
  case ON::homogeneous_rational:
    for (int k = 0; k < m_dim; ++k)
      point[k] = cv[k];
    point[m_dim] = w;
    return true;
  case ON::intrinsic_point_style:
    for (int k = 0; k < CVSize(); ++k)
      point[k] = cv[k];
    return true;
  default:
    return false;
  }
}

bool ON_NurbsSurface::SetWeight(int i, int j, double weight)
{
  double *cv = CV(i, j);
  if (!cv)
    return false;
  if (m_is_rat) {
    cv[m_dim] = weight;
    return true;
  }
  return weight == 1.0;
}

bool pelmora::HasWeightOtherThanOne(const ON_NurbsSurface &surface)
{
  if (!surface.IsRational())
    return false;
  for (int i = 0; i < surface.CVCount(0); ++i)
    for (int j = 0; j < surface.CVCount(1); ++j)
      if (surface.Weight(i, j) != 1.0)
        return true;
  return false;
}
