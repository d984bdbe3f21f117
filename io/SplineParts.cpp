#include "io/SplineParts.h"
#include "opennurbs/NurbsBasis.h"

#include <cmath>

namespace pelmora::io {

std::vector<double> FullKnots(const ON_NurbsSurface &surface, int dir)
{
  const int count = surface.KnotCount(dir);
  std::vector<double> full;
  full.reserve(size_t(count) + 2);
  full.push_back(surface.Knot(dir, 0));
  for (int k = 0; k < count; ++k)
    full.push_back(surface.Knot(dir, k));
  full.push_back(surface.Knot(dir, count - 1));
  return full;
}

KnotRuns KnotRunsOf(const ON_NurbsSurface &surface, int dir)
{
  KnotRuns runs;
  for (double knot : FullKnots(surface, dir)) {
    if (!runs.values.empty() && runs.values.back() == knot) {
      ++runs.multiplicities.back();
    } else {
      runs.values.push_back(knot);
      runs.multiplicities.push_back(1);
    }
  }
  return runs;
}

BoundaryCurve BoundaryOf(const ON_NurbsSurface &surface, int dir, bool atEnd)
{
  // Each pole of the iso-curve blends the control points across `dir` with
  // the basis functions at the boundary parameter, in homogeneous form.
  const int order = surface.Order(dir), count = surface.CVCount(dir);
  const int other = 1 - dir, along = surface.CVCount(other);
  const double *knot = surface.Knot(dir);
  const ON_Interval domain = surface.Domain(dir);
  const double u = atEnd ? domain.Max() : domain.Min();
  const int span = FindSpan(order, count, knot, u, atEnd);
  std::vector<double> basis(size_t(order) * (order + 1)), work(size_t(BasisWorkSize(order)));
  EvaluateBasis(order, knot + span, u, 0, basis.data(), work.data());
  const bool rational = surface.IsRational();
  const int dim = surface.Dimension();

  BoundaryCurve curve;
  curve.poles.resize(size_t(along));
  curve.weights.assign(size_t(along), 1.0);
  for (int j = 0; j < along; ++j) {
    double sum[4] = {0.0, 0.0, 0.0, 0.0};
    for (int k = 0; k < order; ++k) {
      const double *cv = dir == 0 ? surface.CV(span + k, j) : surface.CV(j, span + k);
      for (int c = 0; c < dim + int(rational); ++c)
        sum[c] += basis[size_t(k)] * cv[c];
    }
    const double w = rational ? sum[dim] : 1.0;
    curve.poles[size_t(j)] = ON_3dPoint(sum[0] / w, sum[1] / w, sum[2] / w);
    curve.weights[size_t(j)] = w;
  }
  return curve;
}

bool IsFinite(const ON_NurbsSurface &surface)
{
  for (int dir = 0; dir < 2; ++dir)
    for (int k = 0; k < surface.KnotCount(dir); ++k)
      if (!std::isfinite(surface.Knot(dir, k)))
        return false;
  const int size = surface.CVSize();
  for (int i = 0; i < surface.CVCount(0); ++i)
    for (int j = 0; j < surface.CVCount(1); ++j) {
      const double *cv = surface.CV(i, j);
      for (int c = 0; c < size; ++c)
        if (!std::isfinite(cv[c]))
          return false;
    }
  return true;
}

} // namespace pelmora::io
