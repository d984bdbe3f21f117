// PMSurface::FitSurfaceToPoints: the accurate fit. The cloud is aligned so
// that the direction points down, a penalised least-squares height field is
// fitted to the points, and with a probe the lower envelope of the ball
// over that field is sampled and fitted again. The surface's control points
// stand at the Greville abscissae of its knots, so it is exactly the height
// field; it is rotated back to the caller's orientation at the end.
#include "PMSurface.h"
#include "surface/BallEnvelope.h"
#include "surface/FiniteBounds.h"
#include "surface/OperationGuard.h"
#include "surface/ProgressPhase.h"
#include "surface/SmoothingFit.h"

#include <cmath>
#include <new>
#include <vector>

namespace {

using namespace pelmora;

// Envelope samples per span of the control grid, and the tiny weight that
// keeps the envelope fit well posed where its samples are left out.
constexpr int kEnvelopeSamplesPerSpan = 2;
constexpr double kEnvelopeSmoothingSpans = 1.0 / 64.0;

// About 1.2 kB of work space per control point: 4M control points need
// about 5 GB.
constexpr long long kMostControlPoints = 1LL << 22;

const wchar_t *const kNotFitted = L"The surface could not be fitted";

bool FiniteDirection(const ON_3dVector &d)
{
  return std::isfinite(d.x) && std::isfinite(d.y) && std::isfinite(d.z) &&
         (d.x != 0.0 || d.y != 0.0 || d.z != 0.0);
}

// The finite points, aligned so that `direction` points down.
std::vector<ON_3dPoint> AlignedFinitePoints(const ON_3dPointArray &points,
                                            const ON_3dVector &direction, int showProgress)
{
  ON_3dPointArray aligned(points);
  if (aligned.Count() != points.Count())
    throw std::bad_alloc();
  PMSurface::TransformPoints(aligned, direction, 1, showProgress);
  std::vector<ON_3dPoint> finite;
  finite.reserve(static_cast<size_t>(aligned.Count()));
  for (int i = 0; i < aligned.Count(); ++i)
    if (IsFinitePoint(aligned[i]))
      finite.push_back(aligned[i]);
  return finite;
}

bool FitHeights(const std::vector<ON_3dPoint> &points, const SplineAxis &x, const SplineAxis &y,
                double smoothing, SmoothFit &fit)
{
  return FitSmoothHeights(points.data(), static_cast<long long>(points.size()), x, y, smoothing,
                          fit);
}

// The height field as a NURBS surface, rotated back along `direction`.
bool MakeSurface(const HeightSpline &field, const ON_3dVector &direction, int showProgress,
                 ON_NurbsSurface &surface)
{
  const int rows = field.Rows(), cols = field.Cols();
  ON_3dPointArray cvs(rows * cols);
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < cols; ++i)
      cvs.Append(ON_3dPoint(field.x.Greville(i), field.y.Greville(j),
                            field.heights[static_cast<size_t>(j) * cols + i]));
  PMSurface::TransformPoints(cvs, direction, 0, showProgress);
  ON_NurbsSurface made;
  if (cvs.Count() != rows * cols || !made.Create(3, false, 3, 3, cols, rows))
    throw std::bad_alloc();
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < cols; ++i)
      made.SetCV(i, j, cvs[j * cols + i]);
  made.MakeClampedUniformKnotVector(0, 1.0);
  made.MakeClampedUniformKnotVector(1, 1.0);
  if (!made.IsValid())
    return false;
  surface = made;
  return surface.IsValid();
}

// Where moving the centres by the probe radius along their normal would fold
// (the centres bend more tightly than the ball, seen from the probe), the
// drape's fold rule applied to the centre surface: the places over those
// control points, at the height of the compensated field `part`.
void AddFolds(const HeightSpline &centres, double probeDiameter, const HeightSpline &part,
              ON_3dPointArray &tight)
{
  ON_NurbsSurface surface;
  ON_SimpleArray<int> folds;
  if (!MakeSurface(centres, ON_3dVector(0, 0, -1), 0, surface) ||
      !PMSurface::FindProbeFolds(surface, probeDiameter, folds))
    return;
  for (int k = 0; k < folds.Count(); ++k) {
    const double x = centres.x.Greville(folds[k] % centres.Cols());
    const double y = centres.y.Greville(folds[k] / centres.Cols());
    tight.Append(ON_3dPoint(x, y, part.HeightAt(x, y)));
  }
}

// The surface a ball of `probeDiameter` touched, fitted on the same grid.
// Only the envelope samples whose touching ball lies inside the cloud's
// extent are fitted; the penalty carries the surface over the rest of the
// border. `tight` receives the bridges and the folds.
bool Compensate(const HeightSpline &centres, double probeDiameter, SmoothFit &fit,
                ON_3dPointArray &tight)
{
  const BallEnvelope envelope =
      EnvelopeOfBall(centres, 0.5 * probeDiameter, kEnvelopeSamplesPerSpan);
  std::vector<ON_3dPoint> supported;
  supported.reserve(envelope.points.size());
  for (size_t i = 0; i < envelope.points.size(); ++i) {
    if (envelope.supported[i])
      supported.push_back(envelope.points[i]);
    if (envelope.tight[i])
      tight.Append(envelope.points[i]);
  }
  const double smoothing =
      std::pow(kEnvelopeSmoothingSpans * std::min(centres.x.Step(), centres.y.Step()), 4);
  if (!FitHeights(supported.size() >= 3 ? supported : envelope.points, centres.x, centres.y,
                  smoothing, fit))
    return false;
  AddFolds(centres, probeDiameter, fit.spline, tight);
  return true;
}

// The message for input the fit cannot work on, or null.
const wchar_t *Refusal(int rows, int cols, const ON_3dVector &direction, double probeDiameter,
                       double smoothing)
{
  if (rows < 3 || cols < 3)
    return L"The surface needs at least 3 rows and 3 columns";
  if (static_cast<long long>(rows) * cols > kMostControlPoints)
    return L"The surface has too many control points";
  if (!FiniteDirection(direction))
    return L"The direction must be finite and not zero";
  if (!std::isfinite(probeDiameter) || probeDiameter < 0.0)
    return L"The probe diameter must be finite and not negative";
  if (!std::isfinite(smoothing))
    return L"The smoothing weight must be finite";
  return nullptr;
}

int Fail(const wchar_t *message)
{
  PMSurface::SetError(message);
  return 0;
}

int FitSurface(ON_NurbsSurface &surface, PMFitReport &report, const ON_3dPointArray &points,
               const ON_3dVector &direction, int rows, int cols, double probeDiameter,
               double smoothing, int showProgress)
{
  if (const wchar_t *message = Refusal(rows, cols, direction, probeDiameter, smoothing))
    return Fail(message);
  const std::vector<ON_3dPoint> aligned = AlignedFinitePoints(points, direction, showProgress);
  if (aligned.size() < 3)
    return Fail(L"Not enough points to fit a surface");
  ON_3dPoint lo = aligned[0], hi = aligned[0];
  for (const ON_3dPoint &p : aligned) {
    lo.x = std::min(lo.x, p.x), lo.y = std::min(lo.y, p.y);
    hi.x = std::max(hi.x, p.x), hi.y = std::max(hi.y, p.y);
  }
  if (!(hi.x - lo.x > 0.0) || !(hi.y - lo.y > 0.0) || !std::isfinite(hi.x - lo.x) ||
      !std::isfinite(hi.y - lo.y))
    return Fail(L"The points have no extent across the direction");
  const SplineAxis x(cols, lo.x, hi.x), y(rows, lo.y, hi.y);

  PMFitReport found;
  SmoothFit fit;
  bool fitted = false;
  {
    ProgressPhase phase(L"Fitting surface", showProgress);
    phase.Run(1, [&](int) { fitted = FitHeights(aligned, x, y, smoothing, fit); });
  }
  if (!fitted)
    return Fail(kNotFitted);
  found.smoothing = fit.weight;
  found.smoothingChosen = fit.chosen ? 1 : 0;
  found.residualRms = fit.rms;
  if (probeDiameter > 0.0) {
    SmoothFit part;
    {
      ProgressPhase phase(L"Compensating probe", showProgress);
      phase.Run(1, [&](int) { fitted = Compensate(fit.spline, probeDiameter, part, found.tight); });
    }
    if (!fitted)
      return Fail(kNotFitted);
    fit = std::move(part);
    PMSurface::TransformPoints(found.tight, direction, 0, 0);
  }
  ON_NurbsSurface made;
  if (!MakeSurface(fit.spline, direction, showProgress, made))
    return Fail(kNotFitted);
  surface = made;
  report = found;
  return 1;
}

} // namespace

int PMSurface::FitSurfaceToPoints(ON_NurbsSurface &surface, PMFitReport &report,
                                  const ON_3dPointArray &points, const ON_3dVector &direction,
                                  int rows, int cols, double probeDiameter, double smoothing,
                                  int showProgress)
{
  const FailureMessages messages{L"Not enough memory for the point cloud", kNotFitted};
  return GuardedOperation(messages, [&] {
    return FitSurface(surface, report, points, direction, rows, cols, probeDiameter, smoothing,
                      showProgress);
  });
}
