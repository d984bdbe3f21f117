// ON_Surface: the abstract parametric surface, with the evaluators and the
// normal and closest-point queries that every surface type shares.
#pragma once

#include "opennurbs_defines.h"
#include "opennurbs_interval.h"
#include "opennurbs_point.h"

class ON_CLASS ON_Surface
{
public:
  ON_Surface() = default;
  ON_Surface(const ON_Surface &) = default;
  ON_Surface &operator=(const ON_Surface &) = default;
  virtual ~ON_Surface() = default;

  // Number of coordinates of a surface point.
  virtual int Dimension() const = 0;

  // Parameter interval of direction dir (0 = s, any other value = t).
  virtual ON_Interval Domain(int dir) const = 0;

  // Writes (der_count+1)(der_count+2)/2 blocks of v_stride doubles to v, each
  // holding Dimension() values: S, Ds, Dt, Dss, Dst, Dtt, ... quadrant picks
  // one-sided evaluation at knots: 0 default, 1 NE, 2 NW, 3 SW, 4 SE
  // (NE = s and t from above). hint may be null and is not used.
  virtual bool Evaluate(double s, double t, int der_count, int v_stride, double *v,
                        int quadrant = 0, int *hint = 0) const = 0;

  // True when both domains are valid increasing intervals.
  virtual bool IsValid(ON_TextLog *text_log = nullptr) const;

  // Point at (s, t); (0,0,0) when evaluation fails.
  ON_3dPoint PointAt(double s, double t) const;
  // Unit normal at (s, t) (see EvNormal); the zero vector when it fails.
  ON_3dVector NormalAt(double s, double t) const;

  // Zeroes the outputs, then evaluates. Coordinates beyond Dimension() stay 0.
  bool EvPoint(double s, double t, ON_3dPoint &point, int quadrant = 0, int *hint = 0) const;
  bool Ev1Der(double s, double t, ON_3dPoint &point, ON_3dVector &ds, ON_3dVector &dt,
              int quadrant = 0, int *hint = 0) const;

  // Unit normal in the direction of Ds x Dt. Where a partial vanishes or the
  // partials are (nearly) parallel, the normal on the domain boundary is the
  // limit normal from the side given by quadrant (ON_EvNormal); elsewhere a
  // looser test is tried once. On failure the normal is (0,0,0) and the
  // result is false.
  bool EvNormal(double s, double t, ON_3dVector &normal, int quadrant = 0, int *hint = 0) const;
  bool EvNormal(double s, double t, ON_3dPoint &point, ON_3dVector &normal, int quadrant = 0,
                int *hint = 0) const;
  bool EvNormal(double s, double t, ON_3dPoint &point, ON_3dVector &ds, ON_3dVector &dt,
                ON_3dVector &normal, int quadrant = 0, int *hint = 0) const;

  // Global closest point: the parameters (*s, *t) of the surface point nearest
  // to P within Domain(0) x Domain(1), intersected with *sdomain / *tdomain
  // when given (boundary included).
  //   maximum_distance > 0: fail when the nearest point is farther than that;
  //   <= 0: no limit.
  // Returns false, leaving *s and *t unchanged, when the surface or P is not
  // valid, an output pointer is null, the search rectangle is empty, or the
  // distance limit is exceeded. Deterministic. This general version samples
  // the search rectangle and refines the best samples with Newton steps;
  // ON_NurbsSurface overrides it with an exact search over its spans.
  virtual bool GetClosestPoint(const ON_3dPoint &P, double *s, double *t,
                               double maximum_distance = 0.0, const ON_Interval *sdomain = 0,
                               const ON_Interval *tdomain = 0) const;

  // Always false; kept for source compatibility.
  virtual bool GetLocalClosestPoint(const ON_3dPoint &P, double s_seed, double t_seed, double *s,
                                    double *t, const ON_Interval *sdomain = nullptr,
                                    const ON_Interval *tdomain = nullptr) const;
};

// Unit normal from first and second partials. When the Jacobian of Du, Dv is
// regular, N = unit(Du x Dv); otherwise the limit normal approached from
// limit_dir (1 NE, 2 NW, 3 SW, 4 SE) built from the second partials. False
// (N = 0) when no direction can be found.
ON_DECL bool ON_EvNormal(int limit_dir, const ON_3dVector &Du, const ON_3dVector &Dv,
                         const ON_3dVector &Duu, const ON_3dVector &Duv, const ON_3dVector &Dvv,
                         ON_3dVector &N);

// Regularity of the Jacobian from Du.Du, Du.Dv, Dv.Dv. False when one partial
// is numerically zero or the two are numerically parallel. *det (optional)
// receives Du.Du*Dv.Dv - (Du.Dv)^2.
ON_DECL bool ON_EvJacobian(double ds_o_ds, double ds_o_dt, double dt_o_dt, double *det = nullptr);
