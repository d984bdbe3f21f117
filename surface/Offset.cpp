// PMSurface::Offset: probe compensation. Every matrix point moves by
// `distance` along the unit normal of the entry surface at the point's
// closest surface point; then the surface is fitted again through the moved
// matrix.
#include "PMSurface.h"
#include "surface/ProgressPhase.h"
#include "framework/Guarded.h"

#include <cmath>

namespace {

// Points per thread at least: below that a thread costs more than it saves.
constexpr int kPointsPerPiece = 512;

// Moves one point; a point whose closest surface point cannot be found
// stays where it is (its parameters would be undefined).
void MovePoint(const ON_NurbsSurface &surface, double distance, ON_3dPoint &point)
{
  double s = 0.0;
  double t = 0.0;
  if (!surface.GetClosestPoint(point, &s, &t, 0.0, nullptr, nullptr))
    return;
  ON_3dVector normal = surface.NormalAt(s, t);
  normal.Unitize();
  point = point + distance * normal;
}

void MoveAll(ON_3dPointArray &matrix, const ON_NurbsSurface &surface, double distance,
             int showProgress)
{
  pelmora::ProgressPhase phase(L"Offsetting surface", showProgress);
  // An invalid entry surface has no closest points, and a distance that is
  // not finite would turn every point into NaN: nothing moves then, while
  // the loop (and its window) still runs.
  const bool moves = std::isfinite(distance) && surface.IsValid();
  ON_3dPoint *point = matrix.Array();
  // The first query builds the closest-point hierarchy (itself on all
  // cores); make it before the loop, whose threads then only read it.
  if (moves && matrix.Count() > 0) {
    double s = 0.0, t = 0.0;
    surface.GetClosestPoint(point[0], &s, &t);
  }
  phase.RunParallel(matrix.Count(), kPointsPerPiece, [&](int i) {
    if (moves)
      MovePoint(surface, distance, point[i]);
  });
}

} // namespace

int PMSurface::Offset(ON_3dPointArray &matrix, int rows, int cols, ON_NurbsSurface &surface,
                      double distance, int showProgress)
{
  // Only a progress window can throw (no memory); the points stay as far as
  // the loop got, and the fit below still runs.
  pelmora::Guarded([&] { MoveAll(matrix, surface, distance, showProgress); });
  CreateSurfaceFromPointMatrix(surface, matrix, rows, cols, showProgress);
  return 1;
}
