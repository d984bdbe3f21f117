// Building the bispan hierarchy: Bezier nets, their boxes and flatness, then
// the levels of the quadtree.
#include "BispanTree.h"

#include <cfloat>
#include <algorithm>
#include <cmath>
#include <limits>

#include "NurbsBasis.h"

namespace pelmora {

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// Float bounds that never cut into the double range they bound.
float LowerBound(double x)
{
  if (!(x > -double(FLT_MAX)))
    return -kInf;
  if (x >= double(FLT_MAX))
    return FLT_MAX;
  float f = float(x);
  return double(f) > x ? std::nextafter(f, -kInf) : f;
}

float UpperBound(double x)
{
  if (!(x < double(FLT_MAX)))
    return kInf;
  if (x <= -double(FLT_MAX))
    return -FLT_MAX;
  float f = float(x);
  return double(f) < x ? std::nextafter(f, kInf) : f;
}

double Distance(const double *a, const double *b)
{
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                   (a[2] - b[2]) * (a[2] - b[2]));
}

// A net is nearly flat when it deviates from the bilinear patch of its corners
// by at most a tenth of its shortest side.
bool IsNearlyFlat(const double (*net)[3], int order0, int order1)
{
  const int p = order0 - 1, q = order1 - 1;
  const double *c00 = net[0], *c10 = net[p * order1], *c01 = net[q], *c11 = net[p * order1 + q];
  const double side = std::fmin(std::fmin(Distance(c00, c10), Distance(c01, c11)),
                                std::fmin(Distance(c00, c01), Distance(c10, c11)));
  double deviation = 0.0;
  for (int a = 0; a <= p; ++a) {
    const double x = double(a) / p;
    for (int b = 0; b <= q; ++b) {
      const double y = double(b) / q;
      double bilinear[3];
      for (int c = 0; c < 3; ++c)
        bilinear[c] = (1 - x) * (1 - y) * c00[c] + x * (1 - y) * c10[c] + (1 - x) * y * c01[c] +
                      x * y * c11[c];
      deviation = std::fmax(deviation, Distance(net[a * order1 + b], bilinear));
    }
  }
  return deviation <= 0.1 * side;
}

} // namespace

bool BispanTree::Supports(const ON_NurbsSurface &surface)
{
  return surface.m_dim >= 1 && surface.m_dim <= 3 && surface.m_order[0] <= kMaxFastOrder &&
         surface.m_order[1] <= kMaxFastOrder;
}

BispanTree::BispanTree(const ON_NurbsSurface &surface)
    : m_cv(surface.m_cv), m_knot{surface.m_knot[0], surface.m_knot[1]}, m_dim(surface.m_dim),
      m_is_rat(surface.m_is_rat), m_order{surface.m_order[0], surface.m_order[1]},
      m_cv_count{surface.m_cv_count[0], surface.m_cv_count[1]}, m_cv_stride{surface.m_cv_stride[0],
                                                                            surface.m_cv_stride[1]}
{
  m_rational = false;
  for (int i = 0; i < m_cv_count[0] && m_is_rat && !m_rational; ++i)
    for (int j = 0; j < m_cv_count[1]; ++j)
      m_rational = m_rational || surface.Weight(i, j) != 1.0;
  m_spans[0] = m_cv_count[0] - m_order[0] + 1;
  m_spans[1] = m_cv_count[1] - m_order[1] + 1;
  BuildLeaves(surface);
  BuildLevels();
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
  const int cvsize = surface.CVSize();
  // Bezier conversion matrices of every span of each direction.
  std::vector<double> M0(static_cast<size_t>(m_spans[0]) * order0 * order0);
  std::vector<double> M1(static_cast<size_t>(m_spans[1]) * order1 * order1);
  double work[kMaxFastOrder * kMaxFastOrder];
  for (int i = 0; i < m_spans[0]; ++i)
    SpanBezierMatrix(order0, m_knot[0] + i, &M0[size_t(i) * order0 * order0], work);
  for (int j = 0; j < m_spans[1]; ++j)
    SpanBezierMatrix(order1, m_knot[1] + j, &M1[size_t(j) * order1 * order1], work);

  const size_t leaves = size_t(m_spans[0]) * m_spans[1];
  m_boxes.resize(leaves); // level 0 first; BuildLevels appends the rest
  m_flat.resize(leaves);
  double rows[kMaxFastOrder][kMaxFastOrder][4];
  double net[kMaxFastOrder * kMaxFastOrder][4];
  double points[kMaxFastOrder * kMaxFastOrder][3];
  for (int i = 0; i < m_spans[0]; ++i) {
    const double *m0 = &M0[size_t(i) * order0 * order0];
    for (int j = 0; j < m_spans[1]; ++j) {
      const double *m1 = &M1[size_t(j) * order1 * order1];
      // rows[a'][b] = sum_a M0[a'][a] CV(i+a, j+b)
      for (int ap = 0; ap < order0; ++ap)
        for (int b = 0; b < order1; ++b) {
          double sum[4] = {0.0, 0.0, 0.0, 0.0};
          for (int a = 0; a < order0; ++a) {
            const double *cv = surface.CV(i + a, j + b);
            for (int c = 0; c < cvsize; ++c)
              sum[c] += m0[ap * order0 + a] * cv[c];
          }
          for (int c = 0; c < 4; ++c)
            rows[ap][b][c] = sum[c];
        }
      // net[a'][b'] = sum_b rows[a'][b] M1[b'][b], then to Euclidean points.
      bool bounded = true;
      double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
      for (int ap = 0; ap < order0; ++ap)
        for (int bp = 0; bp < order1; ++bp) {
          double *h = net[ap * order1 + bp];
          for (int c = 0; c < cvsize; ++c) {
            h[c] = 0.0;
            for (int b = 0; b < order1; ++b)
              h[c] += rows[ap][b][c] * m1[bp * order1 + b];
          }
          const double w = m_rational ? h[m_dim] : 1.0;
          bounded = bounded && w > 0.0;
          double *x = points[ap * order1 + bp];
          for (int c = 0; c < 3; ++c) {
            x[c] = c < m_dim ? h[c] / w : 0.0;
            lo[c] = x[c] < lo[c] ? x[c] : lo[c];
            hi[c] = x[c] > hi[c] ? x[c] : hi[c];
          }
        }
      Box box;
      for (int c = 0; c < 3; ++c) {
        box.lo[c] = bounded ? LowerBound(lo[c]) : -kInf;
        box.hi[c] = bounded ? UpperBound(hi[c]) : kInf;
      }
      const size_t leaf = size_t(i) * m_spans[1] + j;
      m_boxes[leaf] = box;
      m_flat[leaf] = bounded && IsNearlyFlat(points, order0, order1);
    }
  }
}

void BispanTree::BuildLevels()
{
  m_offset.assign(1, 0);
  m_dims0.assign(1, m_spans[0]);
  m_dims1.assign(1, m_spans[1]);
  while (m_dims0.back() > 1 || m_dims1.back() > 1) {
    const int level = int(m_dims0.size());
    const int below0 = m_dims0.back(), below1 = m_dims1.back();
    const int d0 = (below0 + 1) / 2, d1 = (below1 + 1) / 2;
    m_offset.push_back(m_boxes.size());
    m_dims0.push_back(d0);
    m_dims1.push_back(d1);
    m_boxes.resize(m_boxes.size() + size_t(d0) * d1);
    for (int a = 0; a < d0; ++a)
      for (int b = 0; b < d1; ++b) {
        Box box{{kInf, kInf, kInf}, {-kInf, -kInf, -kInf}};
        for (int ca = 2 * a; ca < 2 * a + 2 && ca < below0; ++ca)
          for (int cb = 2 * b; cb < 2 * b + 2 && cb < below1; ++cb) {
            const Box &child = m_boxes[BoxIndex(level - 1, ca, cb)];
            for (int c = 0; c < 3; ++c) {
              box.lo[c] = std::min(box.lo[c], child.lo[c]);
              box.hi[c] = std::max(box.hi[c], child.hi[c]);
            }
          }
        m_boxes[BoxIndex(level, a, b)] = box;
      }
  }
  m_levels = int(m_dims0.size());
}

} // namespace pelmora
