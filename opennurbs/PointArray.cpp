// Bounding boxes and transforms of point arrays.
#include "opennurbs/opennurbs_array.h"
#include "opennurbs/opennurbs_xform.h"

ON_BoundingBox ON_3dPointArray::BoundingBox() const
{
  ON_BoundingBox bbox;
  double boxmin[3] = {bbox.m_min.x, bbox.m_min.y, bbox.m_min.z};
  double boxmax[3] = {bbox.m_max.x, bbox.m_max.y, bbox.m_max.z};
  if (GetBBox(boxmin, boxmax, false)) {
    bbox.m_min.Set(boxmin[0], boxmin[1], boxmin[2]);
    bbox.m_max.Set(boxmax[0], boxmax[1], boxmax[2]);
  }
  return bbox;
}

bool ON_3dPointArray::GetBoundingBox(ON_BoundingBox &bbox, int bGrowBox) const
{
  double boxmin[3] = {bbox.m_min.x, bbox.m_min.y, bbox.m_min.z};
  double boxmax[3] = {bbox.m_max.x, bbox.m_max.y, bbox.m_max.z};
  const bool rc = GetBBox(boxmin, boxmax, bGrowBox != 0);
  if (rc && m_count > 0) {
    bbox.m_min.Set(boxmin[0], boxmin[1], boxmin[2]);
    bbox.m_max.Set(boxmax[0], boxmax[1], boxmax[2]);
  }
  return rc;
}

bool ON_3dPointArray::GetBBox(double boxmin[3], double boxmax[3], bool bGrowBox) const
{
  if (bGrowBox && (boxmin[0] > boxmax[0] || boxmin[1] > boxmax[1] || boxmin[2] > boxmax[2]))
    bGrowBox = false;
  if (m_count <= 0 || !m_a)
    return bGrowBox;

  double lo[3], hi[3];
  int first = 0;
  if (bGrowBox) {
    for (int k = 0; k < 3; k++) {
      lo[k] = boxmin[k];
      hi[k] = boxmax[k];
    }
  } else {
    lo[0] = hi[0] = m_a[0].x;
    lo[1] = hi[1] = m_a[0].y;
    lo[2] = hi[2] = m_a[0].z;
    first = 1;
  }
  for (int i = first; i < m_count; i++) {
    const double v[3] = {m_a[i].x, m_a[i].y, m_a[i].z};
    for (int k = 0; k < 3; k++) {
      if (lo[k] > v[k])
        lo[k] = v[k];
      else if (hi[k] < v[k])
        hi[k] = v[k];
    }
  }
  for (int k = 0; k < 3; k++) {
    boxmin[k] = lo[k];
    boxmax[k] = hi[k];
  }
  return true;
}

bool ON_3dPointArray::Transform(const ON_Xform &xform)
{
  if (m_count <= 0 || !m_a)
    return false;
  const double(*m)[4] = xform.m_xform;
  const double m00 = m[0][0], m01 = m[0][1], m02 = m[0][2], m03 = m[0][3];
  const double m10 = m[1][0], m11 = m[1][1], m12 = m[1][2], m13 = m[1][3];
  const double m20 = m[2][0], m21 = m[2][1], m22 = m[2][2], m23 = m[2][3];
  const double m30 = m[3][0], m31 = m[3][1], m32 = m[3][2], m33 = m[3][3];
  ON_3dPoint *p = m_a;
  const int n = m_count;
  for (int i = 0; i < n; i++) {
    const double x = p[i].x, y = p[i].y, z = p[i].z;
    double w = m30 * x + m31 * y + m32 * z + m33;
    if (w != 0.0)
      w = 1.0 / w;
    p[i].x = w * (m00 * x + m01 * y + m02 * z + m03);
    p[i].y = w * (m10 * x + m11 * y + m12 * z + m13);
    p[i].z = w * (m20 * x + m21 * y + m22 * z + m23);
  }
  return true;
}
