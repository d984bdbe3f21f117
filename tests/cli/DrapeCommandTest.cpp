// `pelmora drape` end to end: the files it writes hold the surface the
// library's own drape pipeline builds, within what each format keeps.
#include "PMSurface.h"
#include "PMToolkit.h"
#include "cli/CliRunner.h"
#include "io/SurfaceReadBack.h"

#include <algorithm>

using namespace pelmora;
using namespace pelmora::test;

namespace {

struct Reference
{
  ON_3dPointArray matrix;
  int rows = 0, cols = 0;
  ON_NurbsSurface surface;
  double size = 0; // the matrix's bounding-box diagonal
};

// The library's drape on the suggested grid (no window can open to ask),
// then the compensation for `probeDiameter`.
Reference LibraryDrape(const std::string &cloud, double z, int interpolate, double probeDiameter)
{
  PMSelectToolkit(PMToolkitKind::None);
  Reference r;
  EXPECT_EQ(PMSurface::DrapeSurface(r.matrix, r.rows, r.cols, r.surface, ReadPoints(cloud),
                                    ON_3dVector(0, 0, z), interpolate, 0, nullptr),
            1);
  if (probeDiameter != 0)
    PMSurface::Offset(r.matrix, r.rows, r.cols, r.surface, -0.5 * probeDiameter, 0);
  ON_BoundingBox box = r.matrix.BoundingBox();
  r.size = box.m_min.DistanceTo(box.m_max);
  return r;
}

} // namespace

TEST(DrapeCommand, BundledSampleGoesToStepInTheCurrentFolder)
{
  TempFolder folder;
  CliRun run = RunPelmora("drape", folder.Path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("wrote      panel.step"), std::string::npos) << run.out;
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"panel.step"});

  Reference reference = LibraryDrape(Sample("panel.xyz"), -1, 0, 0);
  EXPECT_NE(run.out.find("grid       " + std::to_string(reference.rows) + " rows x " +
                         std::to_string(reference.cols) + " columns (suggested)"),
            std::string::npos)
      << run.out;
  // STEP keeps 12 decimals here: far inside 1e-9 of the surface's size.
  EXPECT_EQ(CompareSurfaces(reference.surface, ReadBackBSpline(folder / "panel.step"),
                            1e-9 * reference.size),
            "");
}

TEST(DrapeCommand, FromBelowWithProbeCompensationToIgesAndMatrix)
{
  TempFolder folder;
  CliRun run = RunPelmora("drape '" + Sample("bowl.xyz") +
                              "' --direction 0,0,1 --interpolate --probe-diameter 3 -o bowl.iges "
                              "--matrix grid.ply",
                          folder.Path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("probe      diameter 3, surface offset by -1.5"), std::string::npos);

  Reference reference = LibraryDrape(Sample("bowl.xyz"), 1, 1, 3.0);
  // IGES keeps 9 decimals here; 1e-8 of the size is well above that.
  EXPECT_EQ(CompareSurfaces(reference.surface, ReadBackBSpline(folder / "bowl.iges"),
                            1e-8 * reference.size),
            "");
  ON_3dPointArray matrix = ReadPoints(folder / "grid.ply");
  EXPECT_TRUE(std::equal(matrix.Array(), matrix.Array() + matrix.Count(), reference.matrix.Array(),
                         reference.matrix.Array() + reference.matrix.Count()));
}

TEST(DrapeCommand, GivenGridIsUsedAndColumnsRunAlongTheFirstDirection)
{
  TempFolder folder;
  CliRun run = RunPelmora("drape '" + Sample("mould.xyz") + "' --rows 12 --cols 20 -o m.stp " +
                              "--matrix m.xyz",
                          folder.Path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("grid       12 rows x 20 columns\n"), std::string::npos) << run.out;
  ReadBackSurface surface = ReadBackBSpline(folder / "m.stp");
  ASSERT_EQ(surface.error, "");
  ASSERT_EQ(surface.poles.size(), 20u);
  EXPECT_EQ(surface.poles[0].size(), 12u);
  ON_3dPointArray matrix = ReadPoints(folder / "m.xyz");
  ASSERT_EQ(matrix.Count(), 240);
  // Element j * cols + i is pole (i, j); STEP keeps 12 decimals.
  EXPECT_LT(matrix[21].DistanceTo(surface.poles[1][1]), 1e-9);
  EXPECT_GT(matrix[21].DistanceTo(surface.poles[0][1]), 1e-3);
}

TEST(DrapeCommand, FailedFitExitsOneAndKeepsTheOldFile)
{
  TempFolder folder;
  folder.Write("old.step", "precious");
  CliRun run = RunPelmora("drape --rows 2 -o old.step", folder.Path());
  EXPECT_EQ(run.status, 1);
  // Progress lines may come first; the library's text is the last line.
  const std::string last = "pelmora: Invalid Nurbs Surface\n";
  ASSERT_GE(run.err.size(), last.size());
  EXPECT_EQ(run.err.substr(run.err.size() - last.size()), last);
  EXPECT_EQ(TempFolder::Read(folder / "old.step"), "precious");
  EXPECT_EQ(folder.Entries().size(), 1u);
}
