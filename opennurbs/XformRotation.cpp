// Frame-to-frame and plane-to-plane rotations.
#include "opennurbs/opennurbs_plane.h"
#include "opennurbs/opennurbs_xform.h"

void ON_Xform::Rotation(const ON_3dVector &X0, const ON_3dVector &Y0, const ON_3dVector &Z0,
                        const ON_3dVector &X1, const ON_3dVector &Y1, const ON_3dVector &Z1)
{
  // F0 maps frame 0 to the world axes (rows), F1 the world axes to frame 1
  // (columns). The full products keep the signs of zeros as they fall.
  ON_Xform F0;
  const ON_3dVector rows[3] = {X0, Y0, Z0};
  for (int i = 0; i < 3; i++) {
    F0.m_xform[i][0] = rows[i].x;
    F0.m_xform[i][1] = rows[i].y;
    F0.m_xform[i][2] = rows[i].z;
  }
  ON_Xform F1;
  const ON_3dVector cols[3] = {X1, Y1, Z1};
  for (int j = 0; j < 3; j++) {
    F1.m_xform[0][j] = cols[j].x;
    F1.m_xform[1][j] = cols[j].y;
    F1.m_xform[2][j] = cols[j].z;
  }
  *this = F1 * F0;
}

void ON_Xform::Rotation(const ON_3dPoint &P0, const ON_3dVector &X0, const ON_3dVector &Y0,
                        const ON_3dVector &Z0, const ON_3dPoint &P1, const ON_3dVector &X1,
                        const ON_3dVector &Y1, const ON_3dVector &Z1)
{
  const ON_Xform T0 = TranslationTransformation(ON_3dPoint::Origin - P0);
  ON_Xform R;
  R.Rotation(X0, Y0, Z0, X1, Y1, Z1);
  const ON_Xform T1 = TranslationTransformation(P1 - ON_3dPoint::Origin);
  *this = (T1 * R) * T0;
}

void ON_Xform::Rotation(const ON_Plane &plane0, const ON_Plane &plane1)
{
  Rotation(plane0.origin, plane0.xaxis, plane0.yaxis, plane0.zaxis, plane1.origin, plane1.xaxis,
           plane1.yaxis, plane1.zaxis);
}
