#include "support/PointCloudGenerator.h"

#include <cmath>

namespace pelmora::test {

std::uint64_t Random::Next()
{
  std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double Random::Uniform(double low, double high)
{
  const double unit = static_cast<double>(Next() >> 11) * 0x1.0p-53;
  return low + (high - low) * unit;
}

double Random::Gaussian()
{
  // Box-Muller; 1 - u keeps the logarithm finite.
  const double u = 1.0 - Uniform(0.0, 1.0);
  const double v = Uniform(0.0, 1.0);
  return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * 3.14159265358979323846 * v);
}

int Random::Below(int bound)
{
  return bound <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(bound));
}

namespace {

bool inHole(const CloudSpec &spec, double x, double y)
{
  for (const Hole &hole : spec.holes) {
    const double dx = x - hole.x;
    const double dy = y - hole.y;
    if (dx * dx + dy * dy < hole.radius * hole.radius)
      return true;
  }
  return false;
}

ON_3dPoint lifted(const CloudSpec &spec, Random &random, double x, double y)
{
  double z = spec.height ? spec.height(x, y) : 0.0;
  if (spec.noise > 0.0)
    z += spec.noise * random.Gaussian();
  return ON_3dPoint(x, y, z);
}

} // namespace

ON_3dPointArray MakeCloud(const CloudSpec &spec)
{
  const int n = spec.count;
  Random random(spec.seed);
  ON_3dPointArray cloud(n + 4);
  if (spec.corners) {
    cloud.Append(lifted(spec, random, spec.xmin, spec.ymin));
    cloud.Append(lifted(spec, random, spec.xmax, spec.ymin));
    cloud.Append(lifted(spec, random, spec.xmin, spec.ymax));
    cloud.Append(lifted(spec, random, spec.xmax, spec.ymax));
  }
  // Holes covering the whole rectangle end the drawing early.
  for (long long attempts = 0; cloud.Count() < n && attempts < 1000LL * n + 1000; ++attempts) {
    const double x = random.Uniform(spec.xmin, spec.xmax);
    const double y = random.Uniform(spec.ymin, spec.ymax);
    if (!inHole(spec, x, y))
      cloud.Append(lifted(spec, random, x, y));
  }
  return cloud;
}

ON_3dPointArray MakeGridCloud(int rows, int cols, double xmin, double xmax, double ymin,
                              double ymax, const HeightField &height)
{
  ON_3dPointArray cloud(rows * cols);
  for (int r = 0; r < rows; ++r) {
    const double y = rows == 1 ? ymin : ymin + (ymax - ymin) * r / (rows - 1);
    for (int c = 0; c < cols; ++c) {
      const double x = cols == 1 ? xmin : xmin + (xmax - xmin) * c / (cols - 1);
      cloud.Append(ON_3dPoint(x, y, height ? height(x, y) : 0.0));
    }
  }
  return cloud;
}

double RolledBallCentreHeight(const HeightField &part, double radius, double x, double y)
{
  const double r2 = radius * radius;
  auto lift = [&](double px, double py) {
    const double d2 = (px - x) * (px - x) + (py - y) * (py - y);
    return d2 < r2 ? part(px, py) + std::sqrt(r2 - d2) : -HUGE_VAL;
  };
  double bx = x, by = y, best = lift(x, y);
  const double lattice = radius / 8.0;
  for (int i = -8; i <= 8; ++i)
    for (int j = -8; j <= 8; ++j) {
      const double h = lift(x + i * lattice, y + j * lattice);
      if (h > best) {
        best = h;
        bx = x + i * lattice;
        by = y + j * lattice;
      }
    }
  static const int moves[8][2] = {{1, 0}, {-1, 0}, {0, 1},  {0, -1},
                                  {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
  for (double step = lattice; step > 1e-10 * radius;) {
    bool moved = false;
    for (const auto &m : moves) {
      const double h = lift(bx + m[0] * step, by + m[1] * step);
      if (h > best) {
        best = h;
        bx += m[0] * step;
        by += m[1] * step;
        moved = true;
        break;
      }
    }
    if (!moved)
      step *= 0.5;
  }
  return best;
}

ON_3dPointArray MakeRolledBallCentres(const CloudSpec &spec, double radius)
{
  CloudSpec centres = spec;
  const HeightField part =
      spec.height ? spec.height : HeightField([](double, double) { return 0.0; });
  centres.height = [part, radius](double x, double y) {
    return RolledBallCentreHeight(part, radius, x, y);
  };
  return MakeCloud(centres);
}

} // namespace pelmora::test
