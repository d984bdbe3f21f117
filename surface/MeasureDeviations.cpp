// PMSurface::MeasureDeviations: the signed distance of every cloud point
// from a surface, and its statistics. The closest points are found on all
// cores, each point on its own (the values do not depend on the threads).
#include "PMSurface.h"
#include "opennurbs/ParallelFor.h"
#include "surface/OperationGuard.h"
#include "surface/DeviationStatistics.h"
#include "surface/SurfacePointFinder.h"

#include <cmath>
#include <new>
#include <vector>

namespace {

constexpr int kPointsPerPiece = 4096;

struct PointDeviation
{
  double value = NAN;
  double s = NAN, t = NAN;
};

// Signed by the side of the surface normal; with a probe the radius comes
// off (the centre of a probe touching the surface lies a radius away on the
// normal's side).
PointDeviation DeviationOf(const pelmora::SurfacePointFinder &finder,
                           const ON_NurbsSurface &surface, const ON_3dPoint &point,
                           const ON_3dPoint &aligned, double radius)
{
  PointDeviation result;
  double s = 0.0, t = 0.0, distance = 0.0;
  if (!point.IsValid() || !finder.Find(point, aligned, s, t, distance))
    return result;
  ON_3dPoint closest;
  ON_3dVector normal;
  if (!surface.EvNormal(s, t, closest, normal))
    return result;
  const double side = (point - closest) * normal;
  result.value = (side < 0.0 ? -distance : distance) - radius;
  result.s = s;
  result.t = t;
  return result;
}

std::vector<PointDeviation> MeasureAll(const ON_3dPointArray &points,
                                       const ON_NurbsSurface &surface, const ON_3dVector &direction,
                                       double radius)
{
  ON_3dPointArray aligned(points);
  if (aligned.Count() != points.Count())
    throw std::bad_alloc();
  PMSurface::TransformPoints(aligned, direction, 1, 0);
  const pelmora::SurfacePointFinder finder(surface, direction);
  std::vector<PointDeviation> results(static_cast<size_t>(points.Count()));
  const std::vector<int> order = finder.VisitingOrder(aligned);
  pelmora::ParallelFor(points.Count(), kPointsPerPiece, [&](int begin, int end) {
    for (int k = begin; k < end; ++k) {
      const int i = order[k];
      results[i] = DeviationOf(finder, surface, points[i], aligned[i], radius);
    }
  });
  return results;
}

bool UsableDirection(const ON_3dVector &direction)
{
  return std::isfinite(direction.x) && std::isfinite(direction.y) && std::isfinite(direction.z) &&
         (direction.x != 0.0 || direction.y != 0.0 || direction.z != 0.0);
}

} // namespace

int PMSurface::MeasureDeviations(const ON_3dPointArray &points, const ON_NurbsSurface &surface,
                                 const ON_3dVector &direction, double probeDiameter,
                                 double tolerance, PMDeviationReport &report,
                                 ON_SimpleArray<double> *deviations, ON_2dPointArray *parameters)
{
  const pelmora::FailureMessages messages{L"Not enough memory to measure the deviations",
                                          L"The deviations could not be measured"};
  return pelmora::GuardedOperation(messages, [&] {
    if (!surface.IsValid()) {
      SetError(L"Invalid Nurbs Surface");
      return 0;
    }
    if (!UsableDirection(direction) || !std::isfinite(probeDiameter)) {
      SetError(L"The direction must be non-zero and finite, and the probe diameter finite");
      return 0;
    }
    const std::vector<PointDeviation> results =
        MeasureAll(points, surface, direction, 0.5 * probeDiameter);
    const int n = points.Count();
    std::vector<double> values(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
      values[i] = results[i].value;
    report = pelmora::SummarizeDeviations(values.data(), points.Array(), n, tolerance);
    if (deviations) {
      deviations->SetCount(0);
      deviations->Append(n, values.data());
    }
    if (parameters) {
      parameters->SetCount(0);
      parameters->Reserve(n);
      for (int i = 0; i < n; ++i)
        parameters->Append(ON_2dPoint(results[i].s, results[i].t));
    }
    return 1;
  });
}
