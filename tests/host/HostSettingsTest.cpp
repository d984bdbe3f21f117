// What the library leaves of a host's own process-wide settings.
#include "PMSurface.h"
#include "PMToolkit.h"

#include <vtkObject.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

ON_3dPointArray SpherePoints(int count)
{
  ON_3dPointArray points(count);
  const double golden = M_PI * (3.0 - std::sqrt(5.0));
  for (int i = 0; i < count; ++i) {
    const double z = 1.0 - 2.0 * (i + 0.5) / count, r = std::sqrt(1.0 - z * z);
    points.Append(ON_3dPoint(r * std::cos(golden * i), r * std::sin(golden * i), z));
  }
  return points;
}

// VTK's warning display is the host's: every wrap, whether it succeeds or
// fails, gives it back as it found it.
TEST(HostSettings, WrapsGiveTheVtkWarningDisplayBack)
{
  PMSelectToolkit(PMToolkitKind::None);
  const ON_3dPointArray sphere = SpherePoints(400);
  const struct
  {
    const char *name;
    std::function<int(ON_Mesh &)> wrap;
    int result;
  } wraps[] = {
      {"convex", [&](ON_Mesh &m) { return PMSurface::WrapConvexMesh(m, sphere, 1); }, 1},
      {"concave", [&](ON_Mesh &m) { return PMSurface::WrapConcaveMesh(m, sphere, 0); }, 1},
      {"convex, no points",
       [&](ON_Mesh &m) { return PMSurface::WrapConvexMesh(m, ON_3dPointArray(), 0); }, 0},
      {"concave, no points",
       [&](ON_Mesh &m) { return PMSurface::WrapMesh(m, ON_3dPointArray(), 1, 1); }, 0},
  };
  for (const int hostSetting : {1, 0})
    for (const auto &w : wraps) {
      SCOPED_TRACE(testing::Message() << w.name << ", host setting " << hostSetting);
      vtkObject::SetGlobalWarningDisplay(hostSetting);
      ON_Mesh mesh;
      EXPECT_EQ(w.wrap(mesh), w.result);
      EXPECT_EQ(vtkObject::GetGlobalWarningDisplay(), hostSetting);
    }
}

} // namespace
