#include "WrapCorpus.h"

#include "MeshChecks.h"
#include "support/PointCloudGenerator.h"

#include <cmath>

namespace pelmora::test {

namespace {

// A digitizer's scan lines over a part: dense along x, lines 0.5 apart in
// y, over a smooth hill on a plateau with sloped sides, and the table
// around it.
ON_3dPointArray ScanLines()
{
  Random random(21);
  ON_3dPointArray points;
  for (double y = 0.0; y <= 20.0; y += 0.5)
    for (double x = 0.0; x <= 30.0; x += 0.15) {
      const double bump = std::exp(-((x - 15) * (x - 15) + (y - 10) * (y - 10)) / 30.0);
      const double plateau = 3.0 / (1.0 + std::exp(-(8.0 - std::fabs(x - 15)) * 1.5)) /
                             (1.0 + std::exp(-(5.0 - std::fabs(y - 10)) * 1.5));
      points.Append(ON_3dPoint(x, y, plateau + 2.0 * bump + 0.01 * random.Gaussian()));
    }
  return points;
}

ON_3dPointArray NoisyTorus()
{
  Random random(5);
  ON_3dPointArray torus = TorusCloud(6000, 2.0, 0.6);
  for (int i = 0; i < torus.Count(); ++i)
    torus[i] += ON_3dVector(random.Gaussian(), random.Gaussian(), random.Gaussian()) * 0.01;
  return torus;
}

ON_3dPointArray ThinShell()
{
  ON_3dPointArray shell = SphereCloud(3000, 1.0, ON_3dPoint(0, 0, 0));
  const ON_3dPointArray inner = SphereCloud(2500, 0.96, ON_3dPoint(0, 0, 0));
  shell.Append(inner.Count(), inner.Array());
  return shell;
}

ON_3dPointArray Duplicates()
{
  const ON_3dPointArray sphere = SphereCloud(400, 2.0, ON_3dPoint(-1, 0, 4));
  ON_3dPointArray points;
  for (int copy = 0; copy < 4; ++copy)
    points.Append(sphere.Count(), sphere.Array());
  for (int i = 0; i < 50; ++i)
    points.Append(sphere[7]); // one point fifty times more
  return points;
}

ON_3dPointArray FlatDisc()
{
  Random random(9);
  return Cloud(2000, [&](int i) {
    const double r = std::sqrt(random.Uniform(0, 1)), angle = 2.4 * i;
    return ON_3dPoint(3 * r * std::cos(angle), 3 * r * std::sin(angle), 1.5);
  });
}

} // namespace

ON_3dPointArray Shifted(const ON_3dPointArray &points, const ON_3dVector &offset)
{
  ON_3dPointArray shifted(points);
  for (int i = 0; i < shifted.Count(); ++i)
    shifted[i] += offset;
  return shifted;
}

ON_3dPointArray BoxWithRecess(double step, double depth)
{
  // Box [0,4] x [0,3] x [0,2]; pocket [1,3] x [1,2] in the top face.
  const double size[3] = {4, 3, 2};
  const auto inPocket = [](double x, double y) { return x > 1 && x < 3 && y > 1 && y < 2; };
  ON_3dPointArray points;
  for (int axis = 0; axis < 3; ++axis)
    for (int side = 0; side < 2; ++side) {
      const int u = (axis + 1) % 3, v = (axis + 2) % 3;
      for (double a = 0; a <= size[u] + 1e-9; a += step)
        for (double b = 0; b <= size[v] + 1e-9; b += step) {
          ON_3dPoint p;
          p[axis] = side * size[axis];
          p[u] = a;
          p[v] = b;
          if (axis == 2 && side == 1 && inPocket(p.x, p.y))
            p.z -= depth; // pocket floor
          points.Append(p);
        }
    }
  // Pocket walls.
  for (double z = 2 - depth; z < 2; z += step) {
    for (double x = 1; x <= 3 + 1e-9; x += step) {
      points.Append(ON_3dPoint(x, 1, z));
      points.Append(ON_3dPoint(x, 2, z));
    }
    for (double y = 1; y <= 2 + 1e-9; y += step) {
      points.Append(ON_3dPoint(1, y, z));
      points.Append(ON_3dPoint(3, y, z));
    }
  }
  return points;
}

std::vector<CorpusCloud> WrapCorpus()
{
  const ON_3dPointArray sphere = SphereCloud(3000, 1.0, ON_3dPoint(1, 2, 3));
  return {
      {"sphere", sphere, true, true, 2},
      {"scan lines", ScanLines(), true, false, 2},
      {"thin shell", ThinShell(), true, false, 2},
      {"noisy torus", NoisyTorus(), true, false, 0},
      {"box with recess", BoxWithRecess(0.1, 1.0), true, false, 2},
      {"duplicates", Duplicates(), true, true, 2},
      {"sphere at 1e5", Shifted(sphere, ON_3dVector(1e5, -1e5, 1e5)), true, true, 2},
      {"small sphere at 1e7",
       Shifted(SphereCloud(800, 1e-3, ON_3dPoint(0, 0, 0)), ON_3dVector(1e7, 1e7, -1e7)), true,
       true, 2},
      {"flat disc", FlatDisc(), false, false, 2},
  };
}

} // namespace pelmora::test
