// Matrix layout, products and the identity.
#include "opennurbs/opennurbs_xform.h"

#include <cmath>

namespace {

constexpr ON_Xform MakeIdentity()
{
  ON_Xform xf;
  xf.m_xform[0][0] = 1.0;
  xf.m_xform[1][1] = 1.0;
  xf.m_xform[2][2] = 1.0;
  return xf;
}

constexpr ON_Xform MakeZero()
{
  ON_Xform xf;
  xf.m_xform[3][3] = 0.0;
  return xf;
}

} // namespace

const ON_Xform ON_Xform::IdentityTransformation = MakeIdentity();
const ON_Xform ON_Xform::ZeroTransformation = MakeZero();

void ON_Xform::Zero()
{
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++)
      m_xform[i][j] = 0.0;
}

void ON_Xform::Identity()
{
  Zero();
  for (int i = 0; i < 4; i++)
    m_xform[i][i] = 1.0;
}

bool ON_Xform::IsIdentity(double zero_tolerance) const
{
  for (int i = 0; i < 4; i++) {
    for (int j = 0; j < 4; j++) {
      const double expected = (i == j) ? 1.0 : 0.0;
      if (!(std::fabs(m_xform[i][j] - expected) <= zero_tolerance))
        return false;
    }
  }
  return true;
}

void ON_Xform::Translation(const ON_3dVector &delta)
{
  Identity();
  m_xform[0][3] = delta.x;
  m_xform[1][3] = delta.y;
  m_xform[2][3] = delta.z;
}

ON_Xform ON_Xform::TranslationTransformation(const ON_3dVector &delta)
{
  ON_Xform xf;
  xf.Translation(delta);
  return xf;
}

ON_Xform ON_Xform::operator*(const ON_Xform &rhs) const
{
  ON_Xform product;
  for (int i = 0; i < 4; i++) {
    for (int j = 0; j < 4; j++) {
      product.m_xform[i][j] = m_xform[i][0] * rhs.m_xform[0][j] +
                              m_xform[i][1] * rhs.m_xform[1][j] +
                              m_xform[i][2] * rhs.m_xform[2][j] + m_xform[i][3] * rhs.m_xform[3][j];
    }
  }
  return product;
}

ON_3dPoint ON_Xform::operator*(const ON_3dPoint &p) const
{
  const double(*m)[4] = m_xform;
  double w = m[3][0] * p.x + m[3][1] * p.y + m[3][2] * p.z + m[3][3];
  w = (w != 0.0) ? 1.0 / w : 1.0;
  return ON_3dPoint(w * (m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3]),
                    w * (m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3]),
                    w * (m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]));
}

ON_3dVector ON_Xform::operator*(const ON_3dVector &v) const
{
  const double(*m)[4] = m_xform;
  return ON_3dVector(m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
                     m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                     m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z);
}
