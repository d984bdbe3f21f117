// 4x4 transformation matrices acting on column vectors.
#pragma once

#include "opennurbs_point.h"

class ON_Plane;

class ON_CLASS ON_Xform
{
public:
  // m_xform[i][j] is row i, column j. The image of (x,y,z,1) is
  // M * (x,y,z,1)^T; the translation lives in column 3.
  double m_xform[4][4];

  // All zero except m_xform[3][3] = 1.
  constexpr ON_Xform() : m_xform{{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 1}} {}

  // Row i, or null when i is outside 0..3.
  double *operator[](int i) { return (i >= 0 && i < 4) ? m_xform[i] : nullptr; }
  const double *operator[](int i) const { return (i >= 0 && i < 4) ? m_xform[i] : nullptr; }

  // Matrix product this * rhs, each entry summed over k = 0..3 in order.
  ON_Xform operator*(const ON_Xform &rhs) const;
  // Homogeneous image of p; a zero w is taken as 1.
  ON_3dPoint operator*(const ON_3dPoint &p) const;
  // Upper-left 3x3 block times v.
  ON_3dVector operator*(const ON_3dVector &v) const;

  // Sets the identity.
  void Identity();
  // Sets all sixteen entries to 0.
  void Zero();
  // Every entry within zero_tolerance of the identity's (NaN fails).
  bool IsIdentity(double zero_tolerance = 0.0) const;

  // Translation by delta (identity with column 3 = delta).
  void Translation(const ON_3dVector &delta);
  static ON_Xform TranslationTransformation(const ON_3dVector &delta);

  // Rotation taking the frame (X0,Y0,Z0) to (X1,Y1,Z1): F1 * F0 with F0's
  // rows X0,Y0,Z0 and F1's columns X1,Y1,Z1 (products include the zero
  // entries). The frames are assumed orthonormal; nothing is checked.
  void Rotation(const ON_3dVector &X0, const ON_3dVector &Y0, const ON_3dVector &Z0,
                const ON_3dVector &X1, const ON_3dVector &Y1, const ON_3dVector &Z1);
  // p -> P1 + R (p - P0), computed as (T1 * R) * T0. From the world XY
  // plane at the origin the result is exact: columns 0..2 are X1, Y1, Z1 and
  // column 3 is P1.
  void Rotation(const ON_3dPoint &P0, const ON_3dVector &X0, const ON_3dVector &Y0,
                const ON_3dVector &Z0, const ON_3dPoint &P1, const ON_3dVector &X1,
                const ON_3dVector &Y1, const ON_3dVector &Z1);
  // The point form with both planes' origins and axes.
  void Rotation(const ON_Plane &plane0, const ON_Plane &plane1);

  // Gauss-Jordan elimination with full pivoting. The matrix is replaced by
  // the (pseudo) inverse in every case; *pivot, when given, receives the
  // smallest pivot magnitude. True exactly when the rank is 4. Singular
  // matrices come back partially reduced (diag(0,0,0,1) gives the identity).
  bool Invert(double *pivot = nullptr);
  // The same elimination on a copy; the rank is not reported.
  ON_Xform Inverse(double *pivot = nullptr) const;

  static const ON_Xform IdentityTransformation;
  static const ON_Xform ZeroTransformation;
};
