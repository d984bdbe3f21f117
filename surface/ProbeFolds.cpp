// PMSurface::FindProbeFolds: where the probe compensation folds the surface
// over itself. Moving a surface by d along its unit normal scales lengths
// along a principal direction by 1 + d k (k the principal curvature,
// positive where the surface bends away from the normal's side); where that
// factor reaches 0 the offset turns back on itself. The test runs at each
// control point's Greville parameters, the place on the surface that the
// control point governs most.
#include "PMSurface.h"
#include "opennurbs/ParallelFor.h"
#include "surface/Greville.h"
#include "surface/OperationGuard.h"

#include <cmath>
#include <new>
#include <vector>

namespace {

constexpr int kRowsPerPiece = 16;

// Principal curvatures at (s, t), positive where the surface bends away
// from its normal. False where the surface has no regular normal.
bool PrincipalCurvatures(const ON_NurbsSurface &surface, double s, double t, double &k1, double &k2)
{
  double v[18] = {0.0};
  if (!surface.Evaluate(s, t, 2, 3, v))
    return false;
  const ON_3dVector Su(v[3], v[4], v[5]), Sv(v[6], v[7], v[8]);
  const ON_3dVector Suu(v[9], v[10], v[11]), Suv(v[12], v[13], v[14]), Svv(v[15], v[16], v[17]);
  ON_3dVector normal = ON_CrossProduct(Su, Sv);
  if (!normal.Unitize())
    return false;
  const double E = Su * Su, F = Su * Sv, G = Sv * Sv;
  // Second fundamental form with the sign turned: bending away from the
  // normal counts as positive.
  const double L = -(Suu * normal), M = -(Suv * normal), N = -(Svv * normal);
  const double metric = E * G - F * F;
  if (!(metric > 0.0))
    return false;
  const double gauss = (L * N - M * M) / metric;
  const double mean = (E * N - 2.0 * F * M + G * L) / (2.0 * metric);
  const double root = std::sqrt(std::fmax(mean * mean - gauss, 0.0));
  k1 = mean + root;
  k2 = mean - root;
  return std::isfinite(k1) && std::isfinite(k2);
}

} // namespace

int PMSurface::FindProbeFolds(const ON_NurbsSurface &surface, double probeDiameter,
                              ON_SimpleArray<int> &folds)
{
  const pelmora::FailureMessages messages{L"Not enough memory to find the folds",
                                          L"The folds could not be found"};
  return pelmora::GuardedOperation(messages, [&] {
    if (!surface.IsValid()) {
      SetError(L"Invalid Nurbs Surface");
      return 0;
    }
    folds.SetCount(0);
    const double distance = -0.5 * probeDiameter; // what the drape passes to Offset
    if (distance == 0.0 || !std::isfinite(distance))
      return 1;
    const int cols = surface.CVCount(0), rows = surface.CVCount(1);
    std::vector<unsigned char> folded(static_cast<size_t>(rows) * cols, 0);
    pelmora::ParallelFor(rows, kRowsPerPiece, [&](int begin, int end) {
      for (int j = begin; j < end; ++j) {
        const double t = pelmora::GrevilleAbscissa(surface, 1, j);
        for (int i = 0; i < cols; ++i) {
          double k1 = 0.0, k2 = 0.0;
          folded[static_cast<size_t>(j) * cols + i] =
              PrincipalCurvatures(surface, pelmora::GrevilleAbscissa(surface, 0, i), t, k1, k2) &&
              (1.0 + distance * k1 <= 0.0 || 1.0 + distance * k2 <= 0.0);
        }
      }
    });
    for (size_t k = 0; k < folded.size(); ++k)
      if (folded[k])
        folds.Append(static_cast<int>(k));
    return 1;
  });
}
