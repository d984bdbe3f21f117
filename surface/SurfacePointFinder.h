// Closest points of a surface seen along a direction (a drape) for many
// cloud points: Newton steps from the control point nearest to the cloud
// point seen along the direction. Where the point found lies more than half
// a control-point spacing away, another part of the surface might come
// nearer: every bispan that can (its control points, which bound it, come
// that near seen along the direction, and their box does in space) is
// searched too, or, where there are many, the whole surface.
#pragma once

#include "opennurbs.h"
#include "surface/SeedGrid.h"

#include <vector>

namespace pelmora {

class SurfacePointFinder
{
public:
  // `surface` must be valid and outlive the finder; `direction` non-zero.
  // Find may run on several threads at once (the surface's closest-point
  // hierarchy, built by the first exact search, is made under a lock).
  SurfacePointFinder(const ON_NurbsSurface &surface, const ON_3dVector &direction);

  // Closest point to `point`, whose coordinates in the aligned frame are
  // `aligned`: its parameters and its distance. False when none is found.
  bool Find(const ON_3dPoint &point, const ON_3dPoint &aligned, double &s, double &t,
            double &distance) const;

  // An order of the aligned points (indices into `aligned`) in which
  // neighbours follow each other, for the caches.
  std::vector<int> VisitingOrder(const ON_3dPointArray &aligned) const;

private:
  bool Refine(const ON_3dPoint &point, double &s, double &t, double &distance2) const;
  // The search over the bispans that can hold a point nearer than
  // `distance`; false when there are too many of them to be worth it.
  bool SearchAround(const ON_3dPoint &point, const ON_3dPoint &aligned, double &s, double &t,
                    double &distance) const;
  // Nearest point of bispan (a, b) found from the best of a few samples:
  // squared distance and parameters.
  double SolveBispan(const ON_3dPoint &point, int a, int b, double &s, double &t) const;

  const ON_NurbsSurface &m_surface;
  bool m_rational;
  std::vector<double> m_greville[2];
  ON_3dPointArray m_alignedControlPoints; // index i * count1 + j
  SeedGrid m_seeds;
  double m_reach = 0.0; // largest x-y extent of a bispan's control points
};

} // namespace pelmora
