// A parameter interval [m_t[0], m_t[1]]; the ends may be in either order.
#pragma once

#include "opennurbs_defines.h"

class ON_CLASS ON_Interval
{
public:
  double m_t[2];

  // Both ends ON_UNSET_VALUE (the empty interval).
  constexpr ON_Interval() : m_t{ON_UNSET_VALUE, ON_UNSET_VALUE} {}
  constexpr ON_Interval(double t0, double t1) : m_t{t0, t1} {}

  // i <= 0 gives m_t[0], anything else m_t[1].
  double operator[](int i) const { return i <= 0 ? m_t[0] : m_t[1]; }
  double &operator[](int i) { return i <= 0 ? m_t[0] : m_t[1]; }
  bool operator==(const ON_Interval &o) const { return m_t[0] == o.m_t[0] && m_t[1] == o.m_t[1]; }
  bool operator!=(const ON_Interval &o) const { return !(*this == o); }

  void Set(double t0, double t1)
  {
    m_t[0] = t0;
    m_t[1] = t1;
  }
  // The smaller and the larger end.
  double Min() const;
  double Max() const;
  // m_t[1] - m_t[0] (negative for a decreasing interval).
  double Length() const { return m_t[1] - m_t[0]; }
  // m_t[0] < m_t[1].
  bool IsIncreasing() const { return m_t[0] < m_t[1]; }
  // Both ends pass ON_IsValid.
  bool IsValid() const { return ON_IsValid(m_t[0]) && ON_IsValid(m_t[1]); }
  // (1-s)*m_t[0] + s*m_t[1].
  double ParameterAt(double s) const;
  // Min() <= t <= Max() (strict inequalities when bTestOpenInterval).
  bool Includes(double t, bool bTestOpenInterval = false) const;

  static const ON_Interval EmptyInterval;
};
