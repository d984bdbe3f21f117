// Normals from partial derivatives, including the limit normal where the
// partials degenerate.
#include "opennurbs.h"

#include <cmath>

bool ON_EvJacobian(double ds_o_ds, double ds_o_dt, double dt_o_dt, double *det)
{
  const double a = ds_o_ds * dt_o_dt;
  const double b = ds_o_dt * ds_o_dt;
  const double d = a - b;
  if (det)
    *det = d;
  if (ds_o_ds <= dt_o_dt * ON_EPSILON || dt_o_dt <= ds_o_ds * ON_EPSILON)
    return false; // one partial is numerically zero
  if (std::fabs(d) <= (a > b ? a : b) * ON_SQRT_EPSILON)
    return false; // partials numerically parallel
  return true;
}

bool ON_EvNormal(int limit_dir, const ON_3dVector &Du, const ON_3dVector &Dv,
                 const ON_3dVector &Duu, const ON_3dVector &Duv, const ON_3dVector &Dvv,
                 ON_3dVector &N)
{
  if (ON_EvJacobian(Du * Du, Du * Dv, Dv * Dv)) {
    N = ON_CrossProduct(Du, Dv);
  } else if (Duu.IsValid() && Duv.IsValid() && Dvv.IsValid()) {
    // Direction of the limit of the normal approached from the quadrant.
    double a = 1.0, b = 1.0;
    switch (limit_dir) {
    case 2:
      a = -1.0;
      b = 1.0;
      break;
    case 3:
      a = -1.0;
      b = -1.0;
      break;
    case 4:
      a = 1.0;
      b = -1.0;
      break;
    default:
      break;
    }
    const ON_3dVector V = a * Duv + b * Dvv;
    const ON_3dVector Av = ON_CrossProduct(Du, V);
    const ON_3dVector W = a * Duu + b * Duv;
    const ON_3dVector Au = ON_CrossProduct(W, Dv);
    N = Av + Au;
  } else {
    N = ON_3dVector(0.0, 0.0, 0.0);
  }
  return N.Unitize();
}
