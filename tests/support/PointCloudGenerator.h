// Synthetic point clouds for tests and benchmarks: points scattered over a
// rectangle, lifted by a height field, with optional noise and holes, fully
// determined by a seed (the same description gives the same points on every
// run and machine).
#pragma once

#include "opennurbs.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace pelmora::test {

// z = f(x, y).
using HeightField = std::function<double(double x, double y)>;

// A disc of the x-y plane in which no point is generated.
struct Hole
{
  double x = 0.0;
  double y = 0.0;
  double radius = 0.0;
};

struct CloudSpec
{
  // Rectangle the points are scattered over (uniformly).
  double xmin = 0.0, xmax = 1.0;
  double ymin = 0.0, ymax = 1.0;
  int count = 0; // number of points
  // Height field (flat z = 0 when empty) and the standard deviation of the
  // Gaussian noise added to each height.
  HeightField height;
  double noise = 0.0;
  // Discs left empty; points falling into one are drawn again.
  std::vector<Hole> holes;
  // When true the four corners of the rectangle are among the points, so
  // the cloud's bounding box in x and y is exactly the rectangle.
  bool corners = false;
  std::uint64_t seed = 1;
};

// The cloud described by `spec`, in generation order.
ON_3dPointArray MakeCloud(const CloudSpec &spec);

// rows x cols points exactly on the nodes of a regular grid over the
// rectangle (row-major, x growing with the column), lifted by `height`.
ON_3dPointArray MakeGridCloud(int rows, int cols, double xmin, double xmax, double ymin,
                              double ymax, const HeightField &height = HeightField());

// The height of the centre of a ball of `radius` lowered from above onto the
// part z = part(x, y) with its centre above (x, y): the highest of
// part(p) + sqrt(radius^2 - |p - (x, y)|^2) over the disc, found by a
// lattice search refined by a pattern search (to about 1e-9 of the radius
// on smooth parts).
double RolledBallCentreHeight(const HeightField &part, double radius, double x, double y);

// Probe centres of a ball of `radius` rolled over the part spec.height,
// scattered like MakeCloud(spec) (spec.noise is added to each centre's z).
ON_3dPointArray MakeRolledBallCentres(const CloudSpec &spec, double radius);

// A small deterministic generator (splitmix64) for tests that need their own
// random values.
class Random
{
public:
  explicit Random(std::uint64_t seed) : m_state(seed) {}
  std::uint64_t Next();
  double Uniform(double low, double high); // in [low, high)
  double Gaussian();                       // mean 0, deviation 1
  int Below(int bound);                    // in [0, bound)

private:
  std::uint64_t m_state;
};

} // namespace pelmora::test
