// Axis-aligned box given by its two corners.
#pragma once

#include "opennurbs_point.h"

class ON_CLASS ON_BoundingBox
{
public:
  ON_3dPoint m_min;
  ON_3dPoint m_max;

  // The empty box: m_min = (1,0,0), m_max = (-1,0,0); not valid.
  constexpr ON_BoundingBox() : m_min(1.0, 0.0, 0.0), m_max(-1.0, 0.0, 0.0) {}
  // Stores both corners as given.
  constexpr ON_BoundingBox(const ON_3dPoint &min_pt, const ON_3dPoint &max_pt)
      : m_min(min_pt), m_max(max_pt)
  {
  }

  // Resets to the empty box.
  void Destroy();
  // m_min <= m_max in each coordinate and all six coordinates pass
  // ON_IsValid. A single-point box is valid.
  bool IsValid() const;
  const ON_3dPoint &Min() const { return m_min; }
  const ON_3dPoint &Max() const { return m_max; }
  // m_max - m_min.
  ON_3dVector Diagonal() const { return m_max - m_min; }
  // 0.5 * (m_min + m_max).
  ON_3dPoint Center() const;

  static const ON_BoundingBox EmptyBoundingBox;
  static const ON_BoundingBox UnsetBoundingBox;
};
