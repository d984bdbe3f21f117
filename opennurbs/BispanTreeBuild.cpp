// Building the bispan hierarchy: Bezier nets, their oriented boxes and
// flatness, then the levels of the quadtree.
#include "BispanTree.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "NurbsBasis.h"
#include "ParallelFor.h"
#include "SurfaceWeights.h"

namespace pelmora {

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
// Rows of spans per piece of a parallel build: enough work to be worth a thread.
constexpr int kRowsPerPiece = 8;

// Float bounds that never cut into the double range they bound; a margin
// covers the rounding of projections onto float axes.
float LowerBound(double x, double margin)
{
  x -= margin;
  if (!(x > -double(FLT_MAX)))
    return -kInf;
  if (x >= double(FLT_MAX))
    return FLT_MAX;
  float f = float(x);
  return double(f) > x ? std::nextafter(f, -kInf) : f;
}

float UpperBound(double x, double margin)
{
  x += margin;
  if (!(x < double(FLT_MAX)))
    return kInf;
  if (x <= -double(FLT_MAX))
    return -FLT_MAX;
  float f = float(x);
  return double(f) < x ? std::nextafter(f, kInf) : f;
}

double Dot(const double *a, const double *b)
{
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Orthonormal frame from a normal and an in-plane direction (world axes when
// they are degenerate), stored in the box as floats.
void SetFrame(const double *normal, const double *along, BispanTree::Box &box)
{
  double n[3] = {normal[0], normal[1], normal[2]};
  double e[3] = {along[0], along[1], along[2]};
  const double ln = std::sqrt(Dot(n, n));
  bool ok = std::isfinite(ln) && ln > 0.0;
  if (ok) {
    for (double &c : n)
      c /= ln;
    const double d = Dot(e, n);
    for (int c = 0; c < 3; ++c)
      e[c] -= d * n[c];
    const double le = std::sqrt(Dot(e, e));
    ok = std::isfinite(le) && le > 1e-6 * std::sqrt(Dot(along, along));
    for (double &c : e)
      c /= le;
  }
  for (int c = 0; c < 3; ++c) {
    box.n[c] = ok ? float(n[c]) : (c == 2 ? 1.0f : 0.0f);
    box.e1[c] = ok ? float(e[c]) : (c == 0 ? 1.0f : 0.0f);
  }
  // e2 = n x e1 from the stored floats, so the frame stays right-handed.
  const double fn[3] = {box.n[0], box.n[1], box.n[2]};
  const double fe[3] = {box.e1[0], box.e1[1], box.e1[2]};
  box.e2[0] = float(fn[1] * fe[2] - fn[2] * fe[1]);
  box.e2[1] = float(fn[2] * fe[0] - fn[0] * fe[2]);
  box.e2[2] = float(fn[0] * fe[1] - fn[1] * fe[0]);
}

// Sets lo/hi of the box from points relative to the origin.
void Enclose(const double (*points)[3], int count, BispanTree::Box &box)
{
  double axes[3][3];
  BispanTree::Axes(box, axes);
  double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  double magnitude = 0.0;
  for (int k = 0; k < count; ++k) {
    for (int a = 0; a < 3; ++a) {
      const double q = Dot(points[k], axes[a]);
      lo[a] = std::min(lo[a], q);
      hi[a] = std::max(hi[a], q);
      magnitude = std::max(magnitude, std::fabs(points[k][a]));
    }
  }
  const double margin = 1e-12 * magnitude;
  for (int a = 0; a < 3; ++a) {
    box.lo[a] = LowerBound(lo[a], margin);
    box.hi[a] = UpperBound(hi[a], margin);
  }
}

// Inverse of a nearly orthonormal matrix (adjugate over determinant).
void Invert3x3(const double m[3][3], double inverse[3][3])
{
  const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
  const double c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
  const double c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
  const double det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
  const double r = 1.0 / det;
  inverse[0][0] = c00 * r;
  inverse[1][0] = c01 * r;
  inverse[2][0] = c02 * r;
  inverse[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * r;
  inverse[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * r;
  inverse[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * r;
  inverse[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * r;
  inverse[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * r;
  inverse[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * r;
}

// Extents along axes of the control points in rows [i0, i1) and columns
// [j0, j1), relative to origin; false when a weight there is not positive, so
// that the points do not bound the surface. Over the spans they control, a
// spline lies in the convex hull of these points.
bool ControlExtents(const ON_NurbsSurface &S, bool rational, int i0, int i1, int j0, int j1,
                    const double *origin, const double axes[3][3], double lo[3], double hi[3],
                    double &magnitude)
{
  const int dim = S.m_dim;
  for (int a = 0; a < 3; ++a) {
    lo[a] = HUGE_VAL;
    hi[a] = -HUGE_VAL;
  }
  double top = 0.0;
  for (int i = i0; i < i1; ++i) {
    const double *row = S.m_cv + size_t(i) * S.m_cv_stride[0];
    for (int j = j0; j < j1; ++j) {
      const double *cv = row + size_t(j) * S.m_cv_stride[1];
      double x[3];
      if (dim == 3 && !rational) {
        x[0] = cv[0] - origin[0];
        x[1] = cv[1] - origin[1];
        x[2] = cv[2] - origin[2];
      } else {
        const double w = rational ? cv[dim] : 1.0;
        if (!(w > 0.0))
          return false;
        for (int c = 0; c < 3; ++c)
          x[c] = (c < dim ? cv[c] / w : 0.0) - origin[c];
      }
      top = std::max(top, std::max(std::fabs(x[0]), std::max(std::fabs(x[1]), std::fabs(x[2]))));
      for (int a = 0; a < 3; ++a) {
        const double q = Dot(x, axes[a]);
        lo[a] = std::min(lo[a], q);
        hi[a] = std::max(hi[a], q);
      }
    }
  }
  magnitude = std::max(magnitude, top);
  return true;
}

// The Bezier net of a non-rational biquadratic bispan in 3-D whose first
// control point is cv, relative to origin; m0/m1 convert its spans.
void QuadraticNet(const double *cv, const int stride[2], const double *m0, const double *m1,
                  const double *origin, double (*points)[3])
{
  double rows[3][3][3]; // rows[a'][b] = sum_a m0[a'][a] CV(a, b)
  for (int ap = 0; ap < 3; ++ap)
    for (int b = 0; b < 3; ++b)
      for (int c = 0; c < 3; ++c) {
        double sum = 0.0;
        for (int a = 0; a < 3; ++a)
          sum += m0[ap * 3 + a] * cv[size_t(a) * stride[0] + size_t(b) * stride[1] + c];
        rows[ap][b][c] = sum;
      }
  for (int ap = 0; ap < 3; ++ap)
    for (int bp = 0; bp < 3; ++bp)
      for (int c = 0; c < 3; ++c) {
        double sum = 0.0;
        for (int b = 0; b < 3; ++b)
          sum += rows[ap][b][c] * m1[bp * 3 + b];
        points[ap * 3 + bp][c] = sum - origin[c];
      }
}

void MakeUnbounded(BispanTree::Box &box)
{
  for (int a = 0; a < 3; ++a) {
    box.lo[a] = -kInf;
    box.hi[a] = kInf;
  }
}

bool IsUnbounded(const BispanTree::Box &box)
{
  return !(std::isfinite(box.lo[0]) && std::isfinite(box.lo[1]) && std::isfinite(box.lo[2]) &&
           std::isfinite(box.hi[0]) && std::isfinite(box.hi[1]) && std::isfinite(box.hi[2]));
}

} // namespace

bool BispanTree::Supports(const ON_NurbsSurface &surface)
{
  return surface.m_dim >= 1 && surface.m_dim <= 3 && surface.m_order[0] <= kMaxFastOrder &&
         surface.m_order[1] <= kMaxFastOrder;
}

BispanTree::BispanTree(const ON_NurbsSurface &surface, bool valid)
    : m_cv(surface.m_cv), m_knot{surface.m_knot[0], surface.m_knot[1]}, m_dim(surface.m_dim),
      m_is_rat(surface.m_is_rat), m_order{surface.m_order[0], surface.m_order[1]},
      m_cv_count{surface.m_cv_count[0], surface.m_cv_count[1]}, m_cv_stride{surface.m_cv_stride[0],
                                                                            surface.m_cv_stride[1]}
{
  m_usable = valid && Supports(surface);
  m_rational = false;
  m_spans[0] = m_spans[1] = 0;
  m_levels = 0;
  if (!m_usable)
    return;
  m_rational = HasWeightOtherThanOne(surface);
  // The centre of the control points' range.
  double lo[3] = {0.0, 0.0, 0.0}, hi[3] = {0.0, 0.0, 0.0};
  for (int i = 0; i < m_cv_count[0]; ++i)
    for (int j = 0; j < m_cv_count[1]; ++j) {
      ON_3dPoint p;
      const bool ok = surface.GetCV(i, j, p);
      for (int c = 0; c < 3 && ok; ++c) {
        lo[c] = (i || j) ? std::min(lo[c], p[c]) : p[c];
        hi[c] = (i || j) ? std::max(hi[c], p[c]) : p[c];
      }
    }
  for (int c = 0; c < 3; ++c)
    m_origin[c] = 0.5 * lo[c] + 0.5 * hi[c];
  m_spans[0] = m_cv_count[0] - m_order[0] + 1;
  m_spans[1] = m_cv_count[1] - m_order[1] + 1;
  PlanLevels();
  BuildLeaves(surface);
  BuildLevels(surface);
}

bool BispanTree::Matches(const ON_NurbsSurface &s) const
{
  return m_cv == s.m_cv && m_knot[0] == s.m_knot[0] && m_knot[1] == s.m_knot[1] &&
         m_dim == s.m_dim && m_is_rat == s.m_is_rat && m_order[0] == s.m_order[0] &&
         m_order[1] == s.m_order[1] && m_cv_count[0] == s.m_cv_count[0] &&
         m_cv_count[1] == s.m_cv_count[1] && m_cv_stride[0] == s.m_cv_stride[0] &&
         m_cv_stride[1] == s.m_cv_stride[1];
}

void BispanTree::BuildLeaves(const ON_NurbsSurface &surface)
{
  const int order0 = m_order[0], order1 = m_order[1];
  // Bezier conversion matrices of every span of each direction.
  std::vector<double> M0(static_cast<size_t>(m_spans[0]) * order0 * order0);
  std::vector<double> M1(static_cast<size_t>(m_spans[1]) * order1 * order1);
  double work[kMaxFastOrder * kMaxFastOrder];
  for (int i = 0; i < m_spans[0]; ++i)
    SpanBezierMatrix(order0, m_knot[0] + i, &M0[size_t(i) * order0 * order0], work);
  for (int j = 0; j < m_spans[1]; ++j)
    SpanBezierMatrix(order1, m_knot[1] + j, &M1[size_t(j) * order1 * order1], work);

  const size_t leaves = size_t(m_spans[0]) * m_spans[1];
  m_bend.reserve(2 * leaves);
  ON_AdviseHugePages(m_bend.data(), 2 * leaves * sizeof(float));
  m_bend.resize(2 * leaves);
  // Each row of bispans writes only its own boxes and bends.
  ParallelFor(m_spans[0], kRowsPerPiece, [&](int rowBegin, int rowEnd) {
    for (int i = rowBegin; i < rowEnd; ++i)
      BuildLeafRow(surface, i, &M0[size_t(i) * order0 * order0], M1.data());
  });
}

void BispanTree::BuildLeafRow(const ON_NurbsSurface &surface, int i, const double *m0,
                              const double *M1)
{
  const int order0 = m_order[0], order1 = m_order[1];
  double points[kMaxFastOrder * kMaxFastOrder][3]; // relative to m_origin
  for (int j = 0; j < m_spans[1]; ++j) {
    const double *m1 = &M1[size_t(j) * order1 * order1];
    bool bounded = true;
    if (order0 == 3 && order1 == 3 && m_dim == 3 && !m_rational) {
      QuadraticNet(m_cv + size_t(i) * m_cv_stride[0] + size_t(j) * m_cv_stride[1], m_cv_stride, m0,
                   m1, m_origin, points);
    } else {
      double net[kMaxFastOrder * kMaxFastOrder][4];
      HomogeneousNet(i, j, m0, m1, net);
      for (int k = 0; k < order0 * order1; ++k) {
        const double w = m_rational ? net[k][m_dim] : 1.0;
        bounded = bounded && w > 0.0;
        for (int c = 0; c < 3; ++c)
          points[k][c] = (c < m_dim ? net[k][c] / w : 0.0) - m_origin[c];
      }
    }
    Box &box = m_boxes[BoxIndex(0, i, j)];
    BoundNet(points, order0, order1, box);
    if (!bounded)
      MakeUnbounded(box);
    for (int dir = 0; dir < 2; ++dir)
      m_bend[2 * (size_t(i) * m_spans[1] + j) + dir] =
          UpperBound(BendBound(surface, i, j, dir), 0.0);
  }
}

void BispanTree::HomogeneousNet(int span0, int span1, const double *m0, const double *m1,
                                double (*net)[4]) const
{
  const int order0 = m_order[0], order1 = m_order[1], cvsize = m_dim + m_is_rat;
  // rows[a'][b] = sum_a m0[a'][a] CV(span0 + a, span1 + b)
  double rows[kMaxFastOrder][kMaxFastOrder][4];
  for (int ap = 0; ap < order0; ++ap)
    for (int b = 0; b < order1; ++b) {
      double sum[4] = {0.0, 0.0, 0.0, 0.0};
      for (int a = 0; a < order0; ++a) {
        const double *cv =
            m_cv + size_t(span0 + a) * m_cv_stride[0] + size_t(span1 + b) * m_cv_stride[1];
        for (int c = 0; c < cvsize; ++c)
          sum[c] += m0[ap * order0 + a] * cv[c];
      }
      for (int c = 0; c < 4; ++c)
        rows[ap][b][c] = sum[c];
    }
  // Net point (a', b') = sum_b rows[a'][b] m1[b'][b].
  for (int ap = 0; ap < order0; ++ap)
    for (int bp = 0; bp < order1; ++bp)
      for (int c = 0; c < 4; ++c) {
        double sum = 0.0;
        for (int b = 0; b < order1; ++b)
          sum += rows[ap][b][c] * m1[bp * order1 + b];
        net[ap * order1 + bp][c] = sum;
      }
}

void BispanTree::BoundNet(const double (*points)[3], int order0, int order1, Box &box)
{
  // Frame: mean directions of the net's edges and their cross product.
  const int p = order0 - 1, q = order1 - 1;
  const double *c00 = points[0], *c10 = points[p * order1], *c01 = points[q],
               *c11 = points[p * order1 + q];
  double du[3], dv[3], normal[3];
  for (int c = 0; c < 3; ++c) {
    du[c] = (c10[c] - c00[c]) + (c11[c] - c01[c]);
    dv[c] = (c01[c] - c00[c]) + (c11[c] - c10[c]);
  }
  normal[0] = du[1] * dv[2] - du[2] * dv[1];
  normal[1] = du[2] * dv[0] - du[0] * dv[2];
  normal[2] = du[0] * dv[1] - du[1] * dv[0];
  SetFrame(normal, du, box);
  Enclose(points, order0 * order1, box);
}

BispanTree::Shape BispanTree::ShapeOf(const Box &box)
{
  if (IsUnbounded(box))
    return kUnbounded;
  const double thickness = double(box.hi[2]) - box.lo[2];
  const double extent = std::min(double(box.hi[0]) - box.lo[0], double(box.hi[1]) - box.lo[1]);
  return thickness <= 0.1 * extent ? kFlat : kCurved;
}

double BispanTree::BendBound(const ON_NurbsSurface &surface, int span0, int span1, int dir) const
{
  // The second derivative along dir is a spline whose control points are
  // scaled second differences of the control points (differences of the
  // first derivative's control points): its length is at most the longest.
  const int order = m_order[dir], degree = order - 1;
  const int first = dir == 0 ? span0 : span1;
  const double *knot = m_knot[dir];
  const int stride = m_cv_stride[dir];
  // Reciprocals of the knot widths are taken once; a product may round a
  // little differently from the quotient, which the slack of every use of
  // the bound covers.
  double largest = 0.0;
  for (int a = 0; a + 2 < order; ++a) {
    const double width = knot[first + a + degree] - knot[first + a + 1];
    const double width0 = knot[first + a + degree] - knot[first + a];
    const double width1 = knot[first + a + 1 + degree] - knot[first + a + 1];
    if (!(width > 0.0)) // then the first derivative's terms play no part here
      continue;
    const double r0 = 1.0 / width0, r1 = 1.0 / width1;
    double longest2 = 0.0;
    for (int b = 0; b < m_order[1 - dir]; ++b) {
      const int i = dir == 0 ? span0 + a : span0 + b, j = dir == 0 ? span1 + b : span1 + a;
      const double *cv = surface.m_cv + size_t(i) * m_cv_stride[0] + size_t(j) * m_cv_stride[1];
      double sum = 0.0;
      for (int c = 0; c < m_dim; ++c) {
        const double q0 = (cv[stride + c] - cv[c]) * r0;
        const double q1 = (cv[2 * stride + c] - cv[stride + c]) * r1;
        sum += (q1 - q0) * (q1 - q0);
      }
      longest2 = std::max(longest2, sum);
    }
    largest = std::max(largest, std::sqrt(longest2) * degree * (degree - 1) / width);
  }
  return largest;
}

void BispanTree::PlanLevels()
{
  // Level sizes: four slots per node of the level above; one box at the top.
  m_dims0.assign(1, m_spans[0]);
  m_dims1.assign(1, m_spans[1]);
  while (m_dims0.back() > 1 || m_dims1.back() > 1) {
    m_dims0.push_back((m_dims0.back() + 1) / 2);
    m_dims1.push_back((m_dims1.back() + 1) / 2);
  }
  m_levels = int(m_dims0.size());
  m_offset.assign(size_t(m_levels), 0);
  size_t total = 0;
  for (int level = 0; level < m_levels; ++level) {
    m_offset[level] = total;
    total += level + 1 < m_levels ? 4 * size_t(m_dims0[level + 1]) * m_dims1[level + 1] : 1;
  }
  // Boxes are left uninitialised; the build is their first touch.
  m_boxes.resize(total);
  ON_AdviseHugePages(m_boxes.data(), total * sizeof(Box));
}

void BispanTree::BuildLevels(const ON_NurbsSurface &surface)
{
  for (int level = 1; level < m_levels; ++level) {
    const int below0 = m_dims0[level - 1], below1 = m_dims1[level - 1];
    const int d0 = m_dims0[level];
    // The nodes of a level read only the level below and write only their own box.
    ParallelFor(d0, std::max(1, kRowsPerPiece >> level), [&](int rowBegin, int rowEnd) {
      for (int a = rowBegin; a < rowEnd; ++a)
        BuildNodeRow(surface, level, a, below0, below1);
    });
  }
}

void BispanTree::BuildNodeRow(const ON_NurbsSurface &surface, int level, int a, int below0,
                              int below1)
{
  const int d1 = m_dims1[level];
  for (int b = 0; b < d1; ++b) {
    // Mean frame of the children, then their corners in it.
    const Box *children[4];
    int count = 0;
    bool bounded = true;
    double normal[3] = {0.0, 0.0, 0.0}, along[3] = {0.0, 0.0, 0.0};
    for (int ca = 2 * a; ca < 2 * a + 2 && ca < below0; ++ca)
      for (int cb = 2 * b; cb < 2 * b + 2 && cb < below1; ++cb) {
        const Box &child = m_boxes[BoxIndex(level - 1, ca, cb)];
        children[count++] = &child;
        bounded = bounded && !IsUnbounded(child);
        for (int c = 0; c < 3; ++c) {
          normal[c] += child.n[c];
          along[c] += child.e1[c];
        }
      }
    Box box;
    SetFrame(normal, along, box);
    if (!bounded) {
      MakeUnbounded(box);
    } else {
      // Corners x of a child solve axes * x = (lo or hi per axis); its
      // float axes are only nearly orthonormal, so use the inverse.
      double corners[4 * 8][3];
      for (int k = 0; k < count; ++k) {
        double axes[3][3], inverse[3][3];
        Axes(*children[k], axes);
        Invert3x3(axes, inverse);
        for (int corner = 0; corner < 8; ++corner) {
          double q[3];
          for (int ax = 0; ax < 3; ++ax)
            q[ax] = (corner >> ax) & 1 ? children[k]->hi[ax] : children[k]->lo[ax];
          double *x = corners[8 * k + corner];
          for (int c = 0; c < 3; ++c)
            x[c] = inverse[c][0] * q[0] + inverse[c][1] * q[1] + inverse[c][2] * q[2];
        }
      }
      Enclose(corners, 8 * count, box);
      // The children's boxes stack up their slack level after level (a
      // tall, tilted box widens its parent by its height); the control
      // points of the block bound it directly. Keep what both allow.
      const int i0 = a << level, i1 = std::min((a + 1) << level, m_spans[0]) + m_order[0] - 1;
      const int j0 = b << level, j1 = std::min((b + 1) << level, m_spans[1]) + m_order[1] - 1;
      double axes[3][3], lo[3], hi[3], magnitude = 0.0;
      Axes(box, axes);
      if (ControlExtents(surface, m_rational, i0, i1, j0, j1, m_origin, axes, lo, hi, magnitude)) {
        const double margin = 1e-12 * magnitude;
        for (int ax = 0; ax < 3; ++ax) {
          box.lo[ax] = std::max(box.lo[ax], LowerBound(lo[ax], margin));
          box.hi[ax] = std::min(box.hi[ax], UpperBound(hi[ax], margin));
        }
      }
    }
    m_boxes[BoxIndex(level, a, b)] = box;
  }
}

} // namespace pelmora
