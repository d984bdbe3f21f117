// Knot vectors: count, validity, setting knots and clamped uniform vectors.
#include "opennurbs.h"

int ON_KnotCount(int order, int cv_count)
{
  return (order >= 2 && cv_count >= order) ? order + cv_count - 2 : 0;
}

bool ON_IsValidKnotVector(int order, int cv_count, const double *knot, ON_TextLog *)
{
  if (order < 2 || cv_count < order || !knot)
    return false;
  const int count = ON_KnotCount(order, cv_count);
  for (int i = 0; i < count; ++i) {
    if (!ON_IsValid(knot[i]))
      return false;
  }
  if (!(knot[order - 2] < knot[order - 1]))
    return false; // empty first span
  if (!(knot[cv_count - 2] < knot[cv_count - 1]))
    return false; // empty last span
  for (int i = 0; i + 1 < count; ++i) {
    if (!(knot[i] <= knot[i + 1]))
      return false;
  }
  for (int i = 0; i <= cv_count - 2; ++i) {
    if (!(knot[i] < knot[i + order - 1]))
      return false; // multiplicity above order-1
  }
  return true;
}

bool ON_NurbsSurface::SetKnot(int dir, int knot_index, double knot_value)
{
  const int d = dir ? 1 : 0;
  if (knot_index < 0 || knot_index >= KnotCount(d) || !m_knot[d])
    return false;
  DestroySurfaceTree();
  m_knot[d][knot_index] = knot_value;
  return true;
}

bool ON_NurbsSurface::MakeClampedUniformKnotVector(int dir, double delta)
{
  if (dir != 0 && dir != 1)
    return false;
  const int order = m_order[dir];
  const int cv_count = m_cv_count[dir];
  DestroySurfaceTree();
  ReserveKnotCapacity(dir, KnotCount(dir));
  double *knot = m_knot[dir];
  if (order < 2 || cv_count < order || !knot || !(delta > 0.0))
    return false;
  double k = 0.0;
  for (int i = order - 2; i <= cv_count - 1; ++i) {
    knot[i] = k;
    k = k + delta;
  }
  for (int i = 0; i < order - 2; ++i)
    knot[i] = knot[order - 2];
  for (int i = cv_count; i < order + cv_count - 2; ++i)
    knot[i] = knot[cv_count - 1];
  return true;
}
