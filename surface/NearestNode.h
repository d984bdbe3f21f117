// The nearest grid node along one axis, the rule by which the point matrix
// gives each point to a node.
#pragma once

namespace pelmora {

// For a position u in grid steps: the integer part, plus 1 when the
// remainder is at least 0.5. Positions outside the grid (rounding, NaN) are
// held to it.
inline int NearestNode(double u, int nodes)
{
  if (!(u > 0.0))
    return 0;
  if (u >= nodes - 1)
    return nodes - 1;
  const int whole = static_cast<int>(u);
  return u - whole >= 0.5 ? whole + 1 : whole;
}

} // namespace pelmora
