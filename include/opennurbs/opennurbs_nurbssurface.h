// ON_NurbsSurface: tensor-product NURBS surface with public storage, and the
// knot vector helpers.
#pragma once

#include <atomic>

#include "opennurbs_4dpoint.h"
#include "opennurbs_surface.h"

namespace pelmora {
class BispanTree;
}

// Knots stored for a direction: order + cv_count - 2 (the two superfluous end
// knots of the textbook vector are not stored).
ON_DECL int ON_KnotCount(int order, int cv_count);

// order >= 2, cv_count >= order, knot not null, every knot valid, first and
// last spans non-empty, non-decreasing, no knot of multiplicity above order-1.
ON_DECL bool ON_IsValidKnotVector(int order, int cv_count, const double *knot,
                                  ON_TextLog *text_log = nullptr);

// Storage: control point (i, j) starts at m_cv + i*m_cv_stride[0] +
// j*m_cv_stride[1]; Create makes j vary fastest. Rational control points are
// homogeneous (w*x, w*y, w*z, w). A capacity of 0 with a non-null pointer
// marks a caller-owned array, which is never freed or reallocated.
//
// Closest-point cache: GetClosestPoint builds a bounding hierarchy of the
// spans on its first call and keeps it. Every member that can change the
// surface drops it. Writing through m_cv, m_knot, or a pointer returned by
// the const CV() / Knot() accessors is not seen: call DestroySurfaceTree()
// after such writes (a change of pointers, counts, orders or strides is
// detected on its own). Copies never share the cache.
class ON_CLASS ON_NurbsSurface : public ON_Surface
{
public:
  ON_NurbsSurface();
  ON_NurbsSurface(const ON_NurbsSurface &src);
  // Initialize() then Create(...).
  ON_NurbsSurface(int dimension, bool bIsRational, int order0, int order1, int cv_count0,
                  int cv_count1);
  ~ON_NurbsSurface() override;
  // Copies dimension, rational flag, orders, counts, knots and control points
  // (strides recomputed in the Create layout). Arrays the source lacks are
  // kept as they are.
  ON_NurbsSurface &operator=(const ON_NurbsSurface &src);

  // Sets every member to 0/null without freeing anything.
  void Initialize(void);
  // Frees the owned arrays, then Initialize().
  void Destroy();
  // Grow owned arrays to exactly `capacity` doubles (contents kept); caller
  // owned arrays are left alone. True when the array exists afterwards.
  bool ReserveKnotCapacity(int dir, int capacity);
  bool ReserveCVCapacity(int capacity);

  // Checks dim >= 1, order0 >= 2, order1 >= 2, cv_count0 >= order0,
  // cv_count1 >= order1 in that order; a failed check (or a size beyond int)
  // returns false and changes nothing. Then sets the shape and reserves knots
  // and control points (not initialised). If memory runs out the surface is
  // destroyed and the result is false.
  bool Create(int dim, bool is_rat, int order0, int order1, int cv_count0, int cv_count1);

  int Dimension() const override;
  bool IsRational() const;
  int CVSize() const;
  int Order(int dir) const;
  int Degree(int dir) const;
  int CVCount(int dir) const;
  int CVCount(void) const;
  int KnotCount(int dir) const;

  // Pointer to control point (i, j); null without storage or for indices
  // outside the counts. The non-const form drops the closest-point cache.
  double *CV(int i, int j) const;
  double *CV(int i, int j);
  // Stored weight of a rational surface, else 1.
  double Weight(int i, int j) const;
  // Knot value (0.0 without a knot array or for an index outside
  // 0..KnotCount(dir)-1) and the knot array.
  double Knot(int dir, int knot_index) const;
  const double *Knot(int dir) const;

  // [knot[order-2], knot[cv_count-1]]; an unset interval without knots.
  ON_Interval Domain(int dir) const override;

  // Set control points; false for indices outside the counts or without
  // storage. A 3d point on a rational surface gets weight 1.
  bool SetCV(int i, int j, const ON_3dPoint &cv);
  bool SetCV(int i, int j, const ON_4dPoint &cv);
  bool SetCV(int i, int j, ON::point_style style, const double *cv);
  // Read control points; GetCV(ON_3dPoint) fails on a zero weight.
  bool GetCV(int i, int j, ON_3dPoint &cv) const;
  bool GetCV(int i, int j, ON_4dPoint &cv) const;
  bool GetCV(int i, int j, ON::point_style style, double *cv) const;
  // Sets the weight slot of a rational surface; on a non-rational surface
  // only weight 1 succeeds.
  bool SetWeight(int i, int j, double weight);

  // False for an index outside 0..KnotCount(dir)-1 or without knots.
  bool SetKnot(int dir, int knot_index, double knot_value);
  // Knots 0 (order-1 times), delta, 2*delta, ... by repeated addition, the
  // end knot repeated order-1 times. dir must be 0 or 1 and delta > 0.
  bool MakeClampedUniformKnotVector(int dir, double delta = 1.0);

  // Evaluation on the span containing (s, t); parameters outside the domain
  // extrapolate the first or last span. False without control points or
  // knots, for non-finite parameters, a stride below Dimension(), or a zero
  // weight at the point.
  bool Evaluate(double s, double t, int der_count, int v_stride, double *v, int quadrant = 0,
                int *hint = 0) const override;

  // Shape, knots, strides and (every coordinate within +-1e307) control points.
  bool IsValid(ON_TextLog *text_log = nullptr) const override;

  // Global closest point over the spans' bounding hierarchy; contract as in
  // ON_Surface. The first call builds the hierarchy.
  bool GetClosestPoint(const ON_3dPoint &P, double *s, double *t, double maximum_distance = 0.0,
                       const ON_Interval *sdomain = 0,
                       const ON_Interval *tdomain = 0) const override;

  // Drops the cached closest-point hierarchy (needed after writing m_cv or
  // m_knot directly).
  void DestroySurfaceTree();

  int m_dim;
  int m_is_rat;
  int m_order[2];
  int m_cv_count[2];
  int m_knot_capacity[2];
  double *m_knot[2];
  int m_cv_stride[2];
  int m_cv_capacity;
  double *m_cv;

private:
  const pelmora::BispanTree *SurfaceTree() const;
  mutable std::atomic<pelmora::BispanTree *> m_surface_tree{nullptr};
};
