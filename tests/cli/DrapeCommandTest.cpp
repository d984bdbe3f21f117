// `pelmora drape` end to end: the files it writes hold the surface the
// library's own drape pipeline builds, within what each format keeps.
#include "PMSurface.h"
#include "PMToolkit.h"
#include "cli/CliRunner.h"
#include "io/SurfaceReadBack.h"
#include "surface/DrapePipeline.h"

#include <algorithm>

using namespace pelmora;
using namespace pelmora::test;

namespace {

struct Reference
{
  ON_3dPointArray matrix;
  int rows = 0, cols = 0;
  ON_NurbsSurface surface;
  double Size() const // the matrix's bounding-box diagonal
  {
    const ON_BoundingBox box = matrix.BoundingBox();
    return box.m_min.DistanceTo(box.m_max);
  }
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
  return r;
}

// The tool's default: the fitted grid, interior holes interpolated.
Reference FittedDrape(const std::string &cloud)
{
  const ON_3dPointArray points = ReadPoints(cloud);
  Reference r;
  DrapeSettings settings;
  PMSurface::SuggestFittedGrid(points, ON_3dVector(0, 0, -1), settings.rows, settings.cols);
  settings.interpolate = 1;
  DrapeFrame frame(points, ON_3dVector(0, 0, -1), 0);
  EXPECT_EQ(frame.Drape(settings, r.matrix, r.surface), 1);
  r.rows = settings.rows;
  r.cols = settings.cols;
  return r;
}

} // namespace

TEST(DrapeCommand, BundledSampleGoesToStepInTheCurrentFolderOnTheFittedOrEvenGrid)
{
  const struct
  {
    const char *args;
    bool fitted;
    const char *grid;
  } cases[] = {{"drape", true, " columns (fitted to the cloud's spacing)\nnodes      "},
               {"drape --grid even --floor", false, " columns (even: one node per point)"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.args);
    TempFolder folder;
    CliRun run = RunPelmora(c.args, folder.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("wrote      panel.step"), std::string::npos) << run.out;
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"panel.step"});
    const Reference reference =
        c.fitted ? FittedDrape(Sample("panel.xyz")) : LibraryDrape(Sample("panel.xyz"), -1, 0, 0);
    EXPECT_NE(run.out.find("grid       " + std::to_string(reference.rows) + " rows x " +
                           std::to_string(reference.cols) + c.grid),
              std::string::npos)
        << run.out;
    // STEP keeps 12 decimals here: far inside 1e-9 of the surface's size.
    EXPECT_EQ(CompareSurfaces(reference.surface, ReadBackBSpline(folder / "panel.step"),
                              1e-9 * reference.Size()),
              "");
  }
}

TEST(DrapeCommand, FromBelowWithProbeCompensationToIgesAndMatrix)
{
  TempFolder folder;
  CliRun run = RunPelmora(
      "drape '" + Sample("bowl.xyz") +
          "' --direction 0,0,1 --grid even --interpolate --probe-diameter 3 -o bowl.iges "
          "--matrix grid.ply",
      folder.Path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("probe      diameter 3, surface offset by -1.5"), std::string::npos);

  Reference reference = LibraryDrape(Sample("bowl.xyz"), 1, 1, 3.0);
  // IGES keeps 9 decimals here; 1e-8 of the size is well above that.
  EXPECT_EQ(CompareSurfaces(reference.surface, ReadBackBSpline(folder / "bowl.iges"),
                            1e-8 * reference.Size()),
            "");
  ON_3dPointArray matrix = ReadPoints(folder / "grid.ply");
  EXPECT_TRUE(std::equal(matrix.Array(), matrix.Array() + matrix.Count(), reference.matrix.Array(),
                         reference.matrix.Array() + reference.matrix.Count()));
}

TEST(DrapeCommand, GivenGridIsUsedAndColumnsRunAlongTheFirstDirection)
{
  TempFolder folder;
  for (const char *grid : {"--rows 12 --cols 20", "--grid 12x20", "--grid 30X20 --rows 12"}) {
    CliRun run = RunPelmora(
        "drape '" + Sample("mould.xyz") + "' " + grid + " -o m.stp --matrix m.xyz", folder.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("grid       12 rows x 20 columns\n"), std::string::npos) << run.out;
  }
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

TEST(DrapeCommand, GridsNoSurfaceFitsAndNegativeDiametersAreRefusedBeforeAnyWork)
{
  TempFolder folder;
  folder.Write("old.step", "precious");
  folder.Write("one.xyz", "1 2 3\n");
  ExpectRefused(
      folder.Path(),
      {
          {"drape --rows 2 -o old.step",
           "pelmora: a surface needs at least 3 rows and 3 columns, not 2 x "},
          {"drape --grid 40x2 -o old.step", "needs at least 3 rows and 3 columns, not 40 x 2\n"},
          {"drape one.xyz -o old.step", "pelmora: one.xyz: the suggested grid is 1 x 1, and a "
                                        "surface needs at least 3 rows and 3 "
                                        "columns"},
          {"drape one.xyz --grid even -o old.step", "one.xyz: the suggested grid is 1 x 1"},
          {"drape --probe-diameter -1 -o old.step",
           "pelmora: --probe-diameter needs a diameter of 0 or more, not '-1'\n"},
          {"drape --grid 3by4 -o old.step", "--grid needs fit, even or ROWSxCOLUMNS"},
          {"drape --floor --interpolate -o old.step", "--floor and --interpolate"},
          {"drape --tolerance -0.1 -o old.step", "--tolerance needs a value of 0 or more"},
          {"drape --preview-points -o old.step", "--preview-points needs --preview"},
          {"drape --deviations d.txt -o old.step",
           "d.txt: a deviation file must end in .csv, .ply"},
      });
  EXPECT_EQ(TempFolder::Read(folder / "old.step"), "precious");
  EXPECT_EQ(folder.Entries().size(), 2u);
}
