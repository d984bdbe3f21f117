#include "surface/SmoothingFit.h"
#include "opennurbs/ParallelFor.h"
#include "surface/StencilMatrix.h"

#include <Eigen/Sparse>
#include <Eigen/SparseCholesky>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace pelmora {

namespace {

// Sums of one set of points: B'B, B'z, z'z and the count.
struct NormalEquations
{
  StencilMatrix matrix;
  std::vector<double> rhs;
  double squares = 0.0;
  long long count = 0;

  NormalEquations(int rows, int cols)
      : matrix(rows, cols), rhs(static_cast<size_t>(rows) * cols, 0.0)
  {
  }
  void Add(const NormalEquations &other)
  {
    matrix.Add(other.matrix);
    for (size_t i = 0; i < rhs.size(); ++i)
      rhs[i] += other.rhs[i];
    squares += other.squares;
    count += other.count;
  }
  // Sum of squared residuals of the heights `h`.
  double Residual(const std::vector<double> &h) const
  {
    double cross = 0.0;
    for (size_t i = 0; i < h.size(); ++i)
      cross += h[i] * rhs[i];
    return std::max(0.0, matrix.Quadratic(h) - 2.0 * cross + squares);
  }
};

// Every tenth point, picked by a hash of its index so that a scan's order
// does not line the held-out points up.
bool HeldOut(long long index)
{
  std::uint64_t z = static_cast<std::uint64_t>(index) + 0x9e3779b97f4a7c15ull;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return ((z ^ (z >> 31)) % 10) == 0;
}

// Adds one point to B'B and B'z. The 3 x 3 block of basis functions
// that a point touches couples control (a, b) with (a', b') at slot
// Slot(a' - a, b' - b) = Slot(-a, -b) + 5 a' + b'.
void AddToMatrix(const SplineAxis &x, const SplineAxis &y, const ON_3dPoint &p, double zRef,
                 NormalEquations &sums)
{
  double bx[3], by[3];
  const int c0 = x.Values(p.x, bx);
  const int r0 = y.Values(p.y, by);
  const int cols = x.Count();
  double w[9];
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b)
      w[a * 3 + b] = by[a] * bx[b];
  static const int offset[9] = {0, 1, 2, 5, 6, 7, 10, 11, 12};
  const double z = p.z - zRef;
  for (int k = 0; k < 9; ++k) {
    const int a = k / 3, b = k % 3;
    const int index = (r0 + a) * cols + c0 + b;
    double *block = sums.matrix.Row(index) + StencilMatrix::Slot(-a, -b);
    for (int l = 0; l < 9; ++l)
      block[offset[l]] += w[k] * w[l];
    sums.rhs[index] += w[k] * z;
  }
}

// The span rows [begin, end) of strip `strip` of `strips`.
void StripRows(long long rows, int strips, int strip, long long &begin, long long &end)
{
  begin = rows * strip / strips;
  end = rows * (strip + 1) / strips;
}

// Normal equations of the points taken every `stride`; with holdOut, the
// held-out points go to `validation` instead of `training`. The points are
// sorted by cell first (a stable counting sort), so that the sums touch the
// matrix row after row; strips of at least three span rows are then summed
// in parallel, even strips before odd ones, so no two threads write the
// same row and every sum is made in one fixed order on any machine.
void Assemble(const ON_3dPoint *points, long long count, long long stride, bool holdOut,
              const SplineAxis &x, const SplineAxis &y, double zRef, NormalEquations &training,
              NormalEquations *validation)
{
  const long long samples = (count + stride - 1) / stride;
  const int spansX = x.Spans(), spansY = y.Spans();
  std::vector<int> cell(static_cast<size_t>(samples));
  ParallelFor(static_cast<int>(samples), 65536, [&](int begin, int end) {
    double unused[3];
    for (int s = begin; s < end; ++s) {
      const ON_3dPoint &p = points[s * stride];
      cell[s] = y.Values(p.y, unused) * spansX + x.Values(p.x, unused);
    }
  });
  std::vector<long long> first(static_cast<size_t>(spansX) * spansY + 1, 0);
  for (int c : cell)
    ++first[static_cast<size_t>(c) + 1];
  for (size_t c = 1; c < first.size(); ++c)
    first[c] += first[c - 1];
  std::vector<long long> order(static_cast<size_t>(samples));
  {
    std::vector<long long> next(first.begin(), first.end() - 1);
    for (long long s = 0; s < samples; ++s)
      order[static_cast<size_t>(next[cell[s]]++)] = s * stride;
  }
  cell = std::vector<int>();

  const int strips = std::max(1, std::min(16, spansY / 3));
  std::vector<double> squares(static_cast<size_t>(strips) * 2, 0.0);
  std::vector<long long> counts(squares.size(), 0);
  NormalEquations *sets[2] = {&training, validation};
  auto sumStrip = [&](int strip) {
    long long rowBegin = 0, rowEnd = 0;
    StripRows(spansY, strips, strip, rowBegin, rowEnd);
    for (long long o = first[rowBegin * spansX]; o < first[rowEnd * spansX]; ++o) {
      const long long i = order[static_cast<size_t>(o)];
      const int set = holdOut && HeldOut(i) ? 1 : 0;
      const double z = points[i].z - zRef;
      squares[static_cast<size_t>(strip) * 2 + set] += z * z;
      ++counts[static_cast<size_t>(strip) * 2 + set];
      AddToMatrix(x, y, points[i], zRef, *sets[set]);
    }
  };
  for (int parity = 0; parity < 2; ++parity) {
    const int here = (strips + 1 - parity) / 2;
    ParallelFor(here, 1, [&](int begin, int end) {
      for (int k = begin; k < end; ++k)
        sumStrip(2 * k + parity);
    });
  }
  for (int strip = 0; strip < strips; ++strip) {
    training.squares += squares[static_cast<size_t>(strip) * 2];
    training.count += counts[static_cast<size_t>(strip) * 2];
    if (validation) {
      validation->squares += squares[static_cast<size_t>(strip) * 2 + 1];
      validation->count += counts[static_cast<size_t>(strip) * 2 + 1];
    }
  }
}

// The bending energy integral (z_xx^2 + 2 z_xy^2 + z_yy^2) as a quadratic
// form of the control heights, from the axes' one-dimensional integrals.
StencilMatrix BendingEnergy(const SplineAxis &x, const SplineAxis &y)
{
  const AxisIntegrals ix = x.Integrals(), iy = y.Integrals();
  auto band = [](const std::vector<double> &m, int i, int j) {
    return m[static_cast<size_t>(std::min(i, j)) * 3 + std::abs(i - j)];
  };
  const int rows = y.Count(), cols = x.Count();
  StencilMatrix energy(rows, cols);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      double *row = energy.Row(r * cols + c);
      for (int dr = -2; dr <= 2; ++dr)
        for (int dc = -2; dc <= 2; ++dc) {
          const int r2 = r + dr, c2 = c + dc;
          if (r2 < 0 || r2 >= rows || c2 < 0 || c2 >= cols)
            continue;
          row[StencilMatrix::Slot(dr, dc)] = band(ix.bend, c, c2) * band(iy.value, r, r2) +
                                             2.0 * band(ix.slope, c, c2) * band(iy.slope, r, r2) +
                                             band(ix.value, c, c2) * band(iy.bend, r, r2);
        }
    }
  return energy;
}

// B'B + factor * E, with a ridge 1e-12 of the smaller of the data's
// and the penalty's scales: it keeps the system positive definite when the
// points fix no plane (they lie on one line) while pulling neither a hole
// (held by the penalty) nor a plane (held by the data) noticeably.
StencilMatrix SystemMatrix(const StencilMatrix &data, const StencilMatrix &energy, double factor)
{
  double dataMean = 0.0, energyMean = 0.0;
  for (int i = 0; i < energy.Size(); ++i) {
    dataMean += data.Diagonal(i);
    energyMean += energy.Diagonal(i);
  }
  const double ridge = 1e-12 * std::min(dataMean, factor * energyMean) / energy.Size();
  StencilMatrix system = data;
  system.Add(energy, factor);
  for (int i = 0; i < system.Size(); ++i)
    system.Row(i)[StencilMatrix::Slot(0, 0)] += ridge;
  return system;
}

bool SolveDirect(const StencilMatrix &a, const std::vector<double> &b, std::vector<double> &h)
{
  const int n = a.Size(), rows = a.Rows(), cols = a.Cols();
  std::vector<Eigen::Triplet<double>> entries;
  entries.reserve(static_cast<size_t>(n) * 13);
  for (int i = 0; i < n; ++i) {
    const int r = i / cols, c = i % cols;
    for (int dr = -2; dr <= 0; ++dr)
      for (int dc = -2; dc <= 2; ++dc) {
        const int r2 = r + dr, c2 = c + dc;
        const int j = r2 * cols + c2;
        if (r2 < 0 || c2 < 0 || c2 >= cols || j > i || r2 >= rows)
          continue;
        entries.emplace_back(i, j, a.Row(i)[StencilMatrix::Slot(dr, dc)]);
      }
  }
  Eigen::SparseMatrix<double> m(n, n);
  m.setFromTriplets(entries.begin(), entries.end());
  Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>, Eigen::Lower> solver(m);
  if (solver.info() != Eigen::Success)
    return false;
  const Eigen::VectorXd x = solver.solve(Eigen::Map<const Eigen::VectorXd>(b.data(), n));
  if (solver.info() != Eigen::Success || !x.allFinite())
    return false;
  h.assign(x.data(), x.data() + n);
  return true;
}

double Dot(const std::vector<double> &a, const std::vector<double> &b)
{
  double sum = 0.0;
  for (size_t i = 0; i < a.size(); ++i)
    sum += a[i] * b[i];
  return sum;
}

// Jacobi-preconditioned conjugate gradients from the heights in `h`; stops
// when the preconditioned residual r'D^-1 r falls below tolerance^2 times
// b'D^-1 b. Measured through D^-1, control values held by a weak penalty
// (in holes) count as much as those held by many points. Returns the steps
// taken.
int SolveIterative(const StencilMatrix &a, const std::vector<double> &b, std::vector<double> &h,
                   double tolerance, int maxSteps)
{
  const size_t n = b.size();
  std::vector<double> r, z(n), p, ap;
  a.Multiply(h, ap);
  r = b;
  for (size_t i = 0; i < n; ++i)
    r[i] -= ap[i];
  std::vector<double> inverse(n);
  for (size_t i = 0; i < n; ++i)
    inverse[i] = 1.0 / a.Diagonal(static_cast<int>(i));
  double scale = 0.0;
  for (size_t i = 0; i < n; ++i) {
    z[i] = inverse[i] * r[i];
    scale += inverse[i] * b[i] * b[i];
  }
  const double goal = tolerance * tolerance * scale;
  p = z;
  double rz = Dot(r, z);
  int step = 0;
  for (; step < maxSteps && rz > goal; ++step) {
    a.Multiply(p, ap);
    const double curvature = Dot(p, ap);
    if (!(curvature > 0.0))
      break;
    const double alpha = rz / curvature;
    for (size_t i = 0; i < n; ++i) {
      h[i] += alpha * p[i];
      r[i] -= alpha * ap[i];
      z[i] = inverse[i] * r[i];
    }
    const double next = Dot(r, z);
    const double beta = next / rz;
    rz = next;
    for (size_t i = 0; i < n; ++i)
      p[i] = z[i] + beta * p[i];
  }
  return step;
}

constexpr int kDirectLimit = 48; // grids up to 48 x 48 are factored directly

SplineAxis Coarser(const SplineAxis &axis)
{
  const int spans = std::max(1, (axis.Spans() + 1) / 2);
  return SplineAxis(spans + 2, axis.Lo(), axis.Hi());
}

// One level of the fit: small grids are factored, larger ones start from
// the same fit on a grid of half the spans (sampled at this grid's Greville
// points) and iterate.
struct Level
{
  const ON_3dPoint *points;
  long long count;
  double zRef;
  double area;
};

std::vector<double> StartingHeights(const Level &level, const SplineAxis &x, const SplineAxis &y,
                                    double weight);

std::vector<double> SolveLevel(const Level &level, const SplineAxis &x, const SplineAxis &y,
                               const NormalEquations &sums, const StencilMatrix &energy,
                               double weight, double tolerance, int *steps,
                               const std::vector<double> *start = nullptr)
{
  const double factor = weight * static_cast<double>(sums.count) / level.area;
  const StencilMatrix system = SystemMatrix(sums.matrix, energy, factor);
  std::vector<double> h;
  if (x.Count() <= kDirectLimit && y.Count() <= kDirectLimit && SolveDirect(system, sums.rhs, h))
    return h;
  h = start ? *start : StartingHeights(level, x, y, weight);
  const int taken = SolveIterative(system, sums.rhs, h, tolerance, 20000);
  if (steps)
    *steps = taken;
  return h;
}

std::vector<double> StartingHeights(const Level &level, const SplineAxis &x, const SplineAxis &y,
                                    double weight)
{
  const size_t n = static_cast<size_t>(x.Count()) * y.Count();
  if (x.Spans() <= 2 && y.Spans() <= 2)
    return std::vector<double>(n, 0.0);
  HeightSpline coarse;
  coarse.x = Coarser(x);
  coarse.y = Coarser(y);
  // About 30 points per coarse control value are plenty for a start.
  const long long wanted = 30LL * coarse.x.Count() * coarse.y.Count();
  const long long stride = std::max(1LL, level.count / std::max(1LL, wanted));
  NormalEquations sums(coarse.y.Count(), coarse.x.Count());
  Assemble(level.points, level.count, stride, false, coarse.x, coarse.y, level.zRef, sums, nullptr);
  coarse.heights = SolveLevel(level, coarse.x, coarse.y, sums, BendingEnergy(coarse.x, coarse.y),
                              weight, 1e-6, nullptr);
  std::vector<double> h(n);
  for (int r = 0; r < y.Count(); ++r)
    for (int c = 0; c < x.Count(); ++c)
      h[static_cast<size_t>(r) * x.Count() + c] = coarse.HeightAt(x.Greville(c), y.Greville(r));
  return h;
}

// Hold-out choice of the weight. Smoothing lengths (weight = length^4) are
// swept geometrically down from two spans, each solve started from the
// previous one, until two lengths in a row predict the held-out points no
// better; the sweep goes up instead while two spans is the best. The two
// midpoints around the best length are tried last. The solves of the sweep
// stop early: they only rank the weights.
double ChooseWeight(const Level &level, const SplineAxis &x, const SplineAxis &y,
                    const NormalEquations &training, const NormalEquations &validation,
                    const StencilMatrix &energy, std::vector<double> &bestHeights)
{
  const double span = std::min(x.Step(), y.Step());
  const double factor = static_cast<double>(training.count) / level.area;
  double bestLength = 2.0, bestError = std::numeric_limits<double>::infinity();
  std::vector<double> h = StartingHeights(level, x, y, std::pow(bestLength * span, 4));
  auto tryLength = [&](double length) {
    const StencilMatrix system =
        SystemMatrix(training.matrix, energy, std::pow(length * span, 4) * factor);
    SolveIterative(system, training.rhs, h, 1e-8, 300);
    const double e = validation.Residual(h);
    if (!(e < bestError))
      return false;
    bestError = e;
    bestLength = length;
    bestHeights = h;
    return true;
  };
  int worse = 0;
  for (double length = 2.0; length >= 1.0 / 256.0 && worse < 2; length *= 0.5)
    worse = tryLength(length) ? 0 : worse + 1;
  if (bestLength == 2.0) {
    h = bestHeights;
    for (double length = 4.0; length <= 64.0 && tryLength(length); length *= 2.0) {
    }
  }
  const double around = bestLength;
  for (double step : {std::sqrt(2.0), std::sqrt(0.5)}) {
    h = bestHeights;
    tryLength(around * step);
  }
  return std::pow(bestLength * span, 4);
}

} // namespace

bool FitSmoothHeights(const ON_3dPoint *points, long long count, const SplineAxis &x,
                      const SplineAxis &y, double weight, SmoothFit &fit)
{
  if (count < 3)
    return false;
  double zRef = 0.0;
  for (long long i = 0; i < count; ++i)
    zRef += points[i].z;
  zRef /= static_cast<double>(count);
  const Level level{points, count, zRef, (x.Hi() - x.Lo()) * (y.Hi() - y.Lo())};
  const StencilMatrix energy = BendingEnergy(x, y);

  NormalEquations all(y.Count(), x.Count());
  std::vector<double> start; // the chosen weight's fit to the training points
  fit.chosen = false;
  if (weight < 0.0) {
    NormalEquations validation(y.Count(), x.Count());
    Assemble(points, count, 1, true, x, y, zRef, all, &validation);
    if (validation.count >= 30 && all.count >= 30) {
      weight = ChooseWeight(level, x, y, all, validation, energy, start);
      fit.chosen = true;
    }
    all.Add(validation);
  } else {
    Assemble(points, count, 1, false, x, y, zRef, all, nullptr);
  }
  // Too few points to validate take a quarter span; no weight goes below
  // 1/256 span, which still holds the control values of empty cells.
  const double span = std::min(x.Step(), y.Step());
  if (!fit.chosen && weight < 0.0)
    weight = std::pow(0.25 * span, 4);
  weight = std::max(weight, std::pow(span / 256.0, 4));

  fit.iterations = 0;
  std::vector<double> h = SolveLevel(level, x, y, all, energy, weight, 1e-10, &fit.iterations,
                                     start.empty() ? nullptr : &start);
  for (double value : h)
    if (!std::isfinite(value))
      return false;
  fit.rms = std::sqrt(all.Residual(h) / static_cast<double>(all.count));
  for (double &value : h)
    value += zRef;
  fit.spline.x = x;
  fit.spline.y = y;
  fit.spline.heights = std::move(h);
  fit.weight = weight;
  return true;
}

} // namespace pelmora
