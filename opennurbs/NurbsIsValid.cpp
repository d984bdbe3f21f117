// Validity test of ON_NurbsSurface.
#include "opennurbs.h"

bool ON_NurbsSurface::IsValid(ON_TextLog *) const
{
  if (m_dim <= 0 || !m_cv)
    return false;
  const int cvsize = CVSize();
  for (int dir = 0; dir < 2; ++dir) {
    if (m_order[dir] < 2 || m_cv_count[dir] < m_order[dir] || !m_knot[dir])
      return false;
    if (!ON_IsValidKnotVector(m_order[dir], m_cv_count[dir], m_knot[dir]))
      return false;
    if (m_cv_stride[dir] < cvsize)
      return false;
  }
  // At least one of the two row/column layouts must fit the strides.
  const long long stride0 = m_cv_stride[0];
  const long long stride1 = m_cv_stride[1];
  if ((stride0 < cvsize || stride1 < (long long)m_cv_count[0] * cvsize) &&
      (stride0 < (long long)m_cv_count[1] * cvsize || stride1 < cvsize))
    return false;
  for (int i = 0; i < m_cv_count[0]; ++i) {
    for (int j = 0; j < m_cv_count[1]; ++j) {
      const double *cv = m_cv + i * stride0 + j * stride1;
      for (int c = 0; c < cvsize; ++c) {
        if (!ON_CV_COORDINATE_IS_VALID(cv[c]))
          return false;
      }
    }
  }
  return true;
}
