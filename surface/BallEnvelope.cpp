#include "surface/BallEnvelope.h"
#include "opennurbs/ParallelFor.h"

#include <algorithm>
#include <cmath>

namespace pelmora {

namespace {

// A touching centre that moves less than this per unit of sample travel
// marks a bridge. On a part the ball follows, the centre moves (R + r) / R
// on a bump of radius R and (R - r) / R in a hollow of radius R > r: the
// bound flags hollows up to 1.25 r.
constexpr double kStillSpeed = 0.2;

struct Probe
{
  const HeightSpline &centres;
  double radius;
  ON_2dPoint q;

  bool Inside(double cx, double cy) const
  {
    const double dx = q.x - cx, dy = q.y - cy;
    return dx * dx + dy * dy < radius * radius * (1.0 - 1e-12);
  }
  // The lowest point of the ball centred above (cx, cy), at q.
  double Height(double cx, double cy) const
  {
    const double dx = q.x - cx, dy = q.y - cy;
    return centres.HeightAt(cx, cy) - std::sqrt(radius * radius - dx * dx - dy * dy);
  }
  void Clamp(double &cx, double &cy) const
  {
    cx = std::min(std::max(cx, centres.x.Lo()), centres.x.Hi());
    cy = std::min(std::max(cy, centres.y.Lo()), centres.y.Hi());
  }
};

// Damped Newton descent of the ball height over the centre position, kept
// inside the rectangle and the disc of radius r around q.
double Descend(const Probe &probe, double &cx, double &cy)
{
  const double r2 = probe.radius * probe.radius;
  double best = probe.Height(cx, cy);
  for (int iteration = 0; iteration < 30; ++iteration) {
    const HeightJet jet = probe.centres.JetAt(cx, cy);
    const double dx = probe.q.x - cx, dy = probe.q.y - cy;
    const double w = std::sqrt(std::max(r2 - dx * dx - dy * dy, 1e-300));
    const double gx = jet.zx - dx / w, gy = jet.zy - dy / w;
    const double w3 = w * w * w;
    double hxx = jet.zxx + 1.0 / w + dx * dx / w3;
    double hyy = jet.zyy + 1.0 / w + dy * dy / w3;
    const double hxy = jet.zxy + dx * dy / w3;
    // Make the Hessian positive definite where the centres fold.
    const double mean = 0.5 * (hxx + hyy);
    const double spread = std::sqrt(0.25 * (hxx - hyy) * (hxx - hyy) + hxy * hxy);
    const double lowest = mean - spread;
    if (lowest < 1e-3 / w) {
      hxx += 1e-3 / w - lowest;
      hyy += 1e-3 / w - lowest;
    }
    const double det = hxx * hyy - hxy * hxy;
    double sx = -(hyy * gx - hxy * gy) / det;
    double sy = -(hxx * gy - hxy * gx) / det;
    bool moved = false;
    for (int halving = 0; halving < 40; ++halving, sx *= 0.5, sy *= 0.5) {
      double nx = cx + sx, ny = cy + sy;
      probe.Clamp(nx, ny);
      if (!probe.Inside(nx, ny))
        continue;
      const double h = probe.Height(nx, ny);
      if (h < best) {
        moved = std::fabs(nx - cx) + std::fabs(ny - cy) > 1e-13 * probe.radius;
        best = h;
        cx = nx;
        cy = ny;
        break;
      }
    }
    if (!moved)
      break;
  }
  return best;
}

// The centre straight up the centre surface's normal from q: where the
// touching ball's centre lies where the ball follows the part.
ON_2dPoint NormalCentre(const Probe &probe)
{
  const HeightJet jet = probe.centres.JetAt(probe.q.x, probe.q.y);
  const double norm = std::sqrt(1.0 + jet.zx * jet.zx + jet.zy * jet.zy);
  return ON_2dPoint(probe.q.x - probe.radius * jet.zx / norm,
                    probe.q.y - probe.radius * jet.zy / norm);
}

// The envelope height at q and the centre of the ball that touches there.
double LowestBall(const Probe &probe, double &cx, double &cy)
{
  // Start from the best of a coarse lattice over the disc and of the
  // centre straight up the centre surface's normal from q.
  const double r = probe.radius;
  double best = HUGE_VAL;
  double bx = probe.q.x, by = probe.q.y;
  auto consider = [&](double x, double y) {
    probe.Clamp(x, y);
    if (!probe.Inside(x, y))
      return;
    const double h = probe.Height(x, y);
    if (h < best) {
      best = h;
      bx = x;
      by = y;
    }
  };
  const ON_2dPoint normal = NormalCentre(probe);
  consider(normal.x, normal.y);
  for (int i = -3; i <= 3; ++i)
    for (int j = -3; j <= 3; ++j)
      if (i * i + j * j <= 9)
        consider(probe.q.x + 0.32 * r * i, probe.q.y + 0.32 * r * j);
  cx = bx;
  cy = by;
  return Descend(probe, cx, cy);
}

bool OnBorder(const HeightSpline &centres, const ON_2dPoint &c)
{
  const double slack = 1e-9 * (centres.x.Hi() - centres.x.Lo() + centres.y.Hi() - centres.y.Lo());
  return c.x <= centres.x.Lo() + slack || c.x >= centres.x.Hi() - slack ||
         c.y <= centres.y.Lo() + slack || c.y >= centres.y.Hi() - slack;
}

// Marks both samples of every link along which the touching centre stands
// still; links with a centre held on the rectangle's border say nothing
// (the border holds it, not the part).
void MarkTight(const HeightSpline &centres, const std::vector<ON_2dPoint> &touching,
               BallEnvelope &envelope)
{
  const int rows = envelope.rows, cols = envelope.cols;
  auto link = [&](int a, int b) {
    const ON_2dPoint &ca = touching[a], &cb = touching[b];
    if (OnBorder(centres, ca) || OnBorder(centres, cb))
      return;
    const double step = std::hypot(envelope.points[a].x - envelope.points[b].x,
                                   envelope.points[a].y - envelope.points[b].y);
    const double speed = std::hypot(ca.x - cb.x, ca.y - cb.y) / step;
    if (speed < kStillSpeed)
      envelope.tight[a] = envelope.tight[b] = 1;
  };
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      const int i = r * cols + c;
      if (c + 1 < cols)
        link(i, i + 1);
      if (r + 1 < rows)
        link(i, i + cols);
    }
  envelope.tightCount =
      static_cast<int>(std::count(envelope.tight.begin(), envelope.tight.end(), 1));
}

} // namespace

BallEnvelope EnvelopeOfBall(const HeightSpline &centres, double radius, int samplesPerSpan)
{
  BallEnvelope envelope;
  envelope.cols = centres.x.Spans() * samplesPerSpan + 1;
  envelope.rows = centres.y.Spans() * samplesPerSpan + 1;
  const size_t n = static_cast<size_t>(envelope.rows) * envelope.cols;
  envelope.points.resize(n);
  envelope.tight.assign(n, 0);
  envelope.supported.assign(n, 0);
  std::vector<ON_2dPoint> touching(n);
  const double dx = (centres.x.Hi() - centres.x.Lo()) / (envelope.cols - 1);
  const double dy = (centres.y.Hi() - centres.y.Lo()) / (envelope.rows - 1);
  ParallelFor(envelope.rows, 4, [&](int begin, int end) {
    for (int r = begin; r < end; ++r)
      for (int c = 0; c < envelope.cols; ++c) {
        const size_t i = static_cast<size_t>(r) * envelope.cols + c;
        // The last sample sits exactly on the far edge.
        const double x = c + 1 == envelope.cols ? centres.x.Hi() : centres.x.Lo() + c * dx;
        const double y = r + 1 == envelope.rows ? centres.y.Hi() : centres.y.Lo() + r * dy;
        Probe probe{centres, radius, ON_2dPoint(x, y)};
        double cx = x, cy = y;
        const double z = LowestBall(probe, cx, cy);
        envelope.points[i] = ON_3dPoint(x, y, z);
        touching[i] = ON_2dPoint(cx, cy);
        envelope.supported[i] = OnBorder(centres, touching[i]) ? 0 : 1;
      }
  });
  MarkTight(centres, touching, envelope);
  return envelope;
}

} // namespace pelmora
