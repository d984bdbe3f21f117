// Bounding box and interval basics.
#include "opennurbs/opennurbs_bounding_box.h"
#include "opennurbs/opennurbs_interval.h"

const ON_BoundingBox ON_BoundingBox::EmptyBoundingBox;
const ON_BoundingBox
    ON_BoundingBox::UnsetBoundingBox(ON_3dPoint(ON_UNSET_VALUE, ON_UNSET_VALUE, ON_UNSET_VALUE),
                                     ON_3dPoint(ON_UNSET_VALUE, ON_UNSET_VALUE, ON_UNSET_VALUE));

void ON_BoundingBox::Destroy()
{
  m_min.Set(1.0, 0.0, 0.0);
  m_max.Set(-1.0, 0.0, 0.0);
}

bool ON_BoundingBox::IsValid() const
{
  return m_min.x <= m_max.x && m_min.y <= m_max.y && m_min.z <= m_max.z && m_min.IsValid() &&
         m_max.IsValid();
}

ON_3dPoint ON_BoundingBox::Center() const
{
  return ON_3dPoint(0.5 * (m_min.x + m_max.x), 0.5 * (m_min.y + m_max.y),
                    0.5 * (m_min.z + m_max.z));
}

const ON_Interval ON_Interval::EmptyInterval;

double ON_Interval::Min() const
{
  return m_t[0] <= m_t[1] ? m_t[0] : m_t[1];
}

double ON_Interval::Max() const
{
  return m_t[0] <= m_t[1] ? m_t[1] : m_t[0];
}

double ON_Interval::ParameterAt(double s) const
{
  return ON_IsValid(s) ? ((1.0 - s) * m_t[0] + s * m_t[1]) : ON_UNSET_VALUE;
}

bool ON_Interval::Includes(double t, bool bTestOpenInterval) const
{
  if (!ON_IsValid(t) || !IsValid())
    return false;
  const double lo = Min();
  const double hi = Max();
  return bTestOpenInterval ? (lo < t && t < hi) : (lo <= t && t <= hi);
}
