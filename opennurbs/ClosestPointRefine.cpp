#include "ClosestPointRefine.h"

namespace pelmora {

namespace {

bool Intersect(const ON_Interval &domain, const ON_Interval *restriction, double &lo, double &hi)
{
  if (!domain.IsValid())
    return false;
  lo = domain.Min();
  hi = domain.Max();
  if (restriction) {
    if (!restriction->IsValid())
      return false;
    const double rlo = restriction->Min();
    const double rhi = restriction->Max();
    lo = rlo > lo ? rlo : lo;
    hi = rhi < hi ? rhi : hi;
  }
  return lo <= hi;
}

} // namespace

bool SearchRectangle(const ON_Surface &surface, const ON_Interval *sdomain,
                     const ON_Interval *tdomain, ParameterRect &rect)
{
  return Intersect(surface.Domain(0), sdomain, rect.u0, rect.u1) &&
         Intersect(surface.Domain(1), tdomain, rect.v0, rect.v1);
}

int LocalMinimumSamples(const double *dist2, int g, int *seeds, int max_seeds)
{
  int count = 0;
  for (int i = 0; i < g; ++i) {
    for (int j = 0; j < g; ++j) {
      const double f = dist2[i * g + j];
      // Interior samples look at interior neighbours only: a minimum inside
      // must not hide behind a nearer sample on the edge, whose refinement
      // stays on the edge.
      const bool interior = i > 0 && j > 0 && i + 1 < g && j + 1 < g;
      const int lo = interior ? 1 : 0, hi = interior ? g - 1 : g;
      bool minimum = true;
      for (int di = -1; di <= 1 && minimum; ++di) {
        for (int dj = -1; dj <= 1; ++dj) {
          const int ni = i + di, nj = j + dj;
          if ((di || dj) && ni >= lo && nj >= lo && ni < hi && nj < hi && dist2[ni * g + nj] < f) {
            minimum = false;
            break;
          }
        }
      }
      if (!minimum)
        continue;
      // Insert sorted by distance; equal distances keep index order.
      int at = count < max_seeds ? count : max_seeds;
      while (at > 0 && dist2[seeds[at - 1]] > f)
        --at;
      if (at >= max_seeds)
        continue;
      const int last = count < max_seeds ? count : max_seeds - 1;
      for (int k = last; k > at; --k)
        seeds[k] = seeds[k - 1];
      seeds[at] = i * g + j;
      if (count < max_seeds)
        ++count;
    }
  }
  return count;
}

} // namespace pelmora
