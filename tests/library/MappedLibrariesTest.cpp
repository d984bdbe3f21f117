// What a host maps when it uses the shared library: the drape operations
// without a display map no Qt, VTK or Open CASCADE; a wrap brings VTK in
// through its module; a module that is missing fails with its name.
#include "PMSurface.h"
#include "modules/ModuleLoader.h"
#include "support/PointCloudGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// The first mapped file whose name contains one of the markers, or "".
std::string MappedHeavyLibrary(std::initializer_list<const char *> markers)
{
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line))
    for (const char *marker : markers)
      if (line.find(marker) != std::string::npos)
        return line;
  return "";
}

} // namespace

TEST(MappedLibraries, DrapeWithoutDisplayMapsNoToolkitOrExchangeLibrary)
{
  // A host without a display: no X server, no Qt platform asked for.
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  ::unsetenv("QT_QPA_PLATFORM");
  pelmora::test::CloudSpec spec;
  spec.xmax = 40;
  spec.ymax = 30;
  spec.count = 2000;
  spec.corners = true;
  spec.height = [](double x, double y) { return 3.0 * std::sin(x / 7.0) * std::cos(y / 5.0); };
  ON_3dPointArray points = pelmora::test::MakeCloud(spec);
  PMSurface::TransformPoints(points, ON_3dVector(0, 1, -1), 1, 1);
  PMSurface::TransformPoints(points, ON_3dVector(0, 1, -1), 0, 1);
  ON_3dPointArray matrix;
  ON_NurbsSurface surface;
  int rows = 0, cols = 0;
  ASSERT_EQ(1, PMSurface::DrapeSurface(matrix, rows, cols, surface, points, ON_3dVector(0, 0, -1),
                                       1, 1, nullptr));
  EXPECT_TRUE(surface.IsValid());
  EXPECT_EQ(MappedHeavyLibrary({"libQt", "libvtk", "libTK", "libqhull"}), "");

  // The detection itself: a wrap maps VTK (through the wrap module).
  ON_Mesh mesh;
  EXPECT_EQ(1, PMSurface::WrapMesh(mesh, points, 0, 0)) << PMSurface::GetError().ToUtf8();
  EXPECT_NE(MappedHeavyLibrary({"libpelmora_wrap.so"}), "");
}

TEST(MappedLibraries, ModulesThatCannotBeLoadedAreNamed)
{
  std::string error;
  const int anchor = 0;
  EXPECT_EQ(nullptr, pelmora::ModuleEntry("libpelmora_absent.so", "entry", &anchor, error));
  EXPECT_EQ(error, "cannot load the module libpelmora_absent.so (not installed)");
  EXPECT_EQ(nullptr, pelmora::ModuleEntry("libpelmora_wrap.so", "no_such_entry", &anchor, error));
  EXPECT_EQ(error, "cannot load the module libpelmora_wrap.so: no entry point no_such_entry");
}
