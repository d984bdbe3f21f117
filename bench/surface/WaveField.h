// The smooth field the surface benchmarks work on: a long wave 20 high over
// 1000 x 1000 with a slight slope, and clouds scattered over it.
#pragma once

#include "opennurbs.h"
#include "support/PointCloudGenerator.h"

#include <cmath>

namespace pelmora::bench {

inline double WaveHeight(double x, double y)
{
  return 20.0 * std::sin(x / 150.0) * std::cos(y / 200.0) + 0.01 * x;
}

// n points scattered over the field with Gaussian noise of `noise` in z,
// plus the field's four corners when `corners`.
inline ON_3dPointArray WaveCloud(int n, double noise, bool corners)
{
  pelmora::test::CloudSpec spec;
  spec.xmax = spec.ymax = 1000.0;
  spec.count = n;
  spec.corners = corners;
  spec.height = WaveHeight;
  spec.noise = noise;
  return pelmora::test::MakeCloud(spec);
}

} // namespace pelmora::bench
