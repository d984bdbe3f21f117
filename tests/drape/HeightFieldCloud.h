// Point clouds sampled from known height fields (drape tests and benchmarks).
#pragma once

#include "opennurbs.h"

#include <cmath>
#include <functional>
#include <random>

namespace drape_test {

using HeightField = std::function<double(double x, double y)>;

inline double dome(double x, double y)
{
  return 2.0 - 0.25 * (x * x + y * y);
}
inline double saddle(double x, double y)
{
  return 0.25 * (x * x - y * y);
}
inline double step(double x, double)
{
  return x < 0.0 ? 0.0 : 1.0;
}

// side x side points over [-1, 1] x [-1, 1]: a regular grid, border points
// exactly on the square, interior points moved at random by up to `jitter`
// grid steps. Below 0.5 each point stays nearest to its own node.
inline ON_3dPointArray jitteredGrid(int side, const HeightField &field, double jitter,
                                    unsigned seed = 7)
{
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> offset(-jitter, jitter);
  const double spacing = 2.0 / (side - 1);
  ON_3dPointArray points(side * side);
  for (int r = 0; r < side; ++r) {
    for (int c = 0; c < side; ++c) {
      double x = -1.0 + c * spacing;
      double y = -1.0 + r * spacing;
      if (r > 0 && r < side - 1 && c > 0 && c < side - 1) {
        x += offset(random) * spacing;
        y += offset(random) * spacing;
      }
      points.Append(ON_3dPoint(x, y, field(x, y)));
    }
  }
  return points;
}

// `count` points uniformly at random over [0, width] x [0, depth].
inline ON_3dPointArray uniformCloud(int count, double width, double depth, const HeightField &field,
                                    unsigned seed = 11)
{
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> along(0.0, 1.0);
  ON_3dPointArray points(count);
  for (int i = 0; i < count; ++i) {
    const double x = along(random) * width;
    const double y = along(random) * depth;
    points.Append(ON_3dPoint(x, y, field(x, y)));
  }
  return points;
}

} // namespace drape_test
