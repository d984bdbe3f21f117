#include "surface/HeightSpline.h"

namespace pelmora {

double HeightSpline::HeightAt(double px, double py) const
{
  double bx[3], by[3];
  const int c0 = x.Values(px, bx);
  const int r0 = y.Values(py, by);
  const int cols = Cols();
  double z = 0.0;
  for (int a = 0; a < 3; ++a) {
    const double *row = &heights[static_cast<size_t>(r0 + a) * cols + c0];
    z += by[a] * (bx[0] * row[0] + bx[1] * row[1] + bx[2] * row[2]);
  }
  return z;
}

HeightJet HeightSpline::JetAt(double px, double py) const
{
  AxisBasis bx, by;
  x.Basis(px, bx);
  y.Basis(py, by);
  const int cols = Cols();
  HeightJet jet;
  for (int a = 0; a < 3; ++a) {
    const double *row = &heights[static_cast<size_t>(by.first + a) * cols + bx.first];
    double v = 0.0, s = 0.0, b = 0.0;
    for (int j = 0; j < 3; ++j) {
      v += bx.value[j] * row[j];
      s += bx.slope[j] * row[j];
      b += bx.bend[j] * row[j];
    }
    jet.z += by.value[a] * v;
    jet.zx += by.value[a] * s;
    jet.zxx += by.value[a] * b;
    jet.zy += by.slope[a] * v;
    jet.zxy += by.slope[a] * s;
    jet.zyy += by.bend[a] * v;
  }
  return jet;
}

} // namespace pelmora
