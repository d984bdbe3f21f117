#include "support/ScanLineCloud.h"

namespace pelmora::test {

ON_3dPointArray MakeScanLines(const ScanSpec &spec)
{
  Random random(spec.seed);
  ON_3dPointArray points;
  for (double y = spec.ymin; y <= spec.ymax + 1e-9 * spec.lineSpacing; y += spec.lineSpacing) {
    for (double x = spec.xmin; x <= spec.xmax;
         x += spec.pointSpacing * (1.0 + random.Uniform(-spec.jitter, spec.jitter))) {
      bool skipped = spec.inside && !spec.inside(x, y);
      for (const Hole &hole : spec.holes)
        skipped = skipped || (x - hole.x) * (x - hole.x) + (y - hole.y) * (y - hole.y) <
                                 hole.radius * hole.radius;
      if (skipped)
        continue;
      const double z = (spec.height ? spec.height(x, y) : 0.0) + spec.noise * random.Gaussian();
      points.Append(ON_3dPoint(x, y, z));
    }
  }
  return points;
}

} // namespace pelmora::test
