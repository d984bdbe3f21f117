// `pelmora drape` end to end: the files it writes hold the surface the
// library's own drape pipeline builds, within what each format keeps.
#include "PMSurface.h"
#include "PMToolkit.h"
#include "cli/CliRunner.h"
#include "io/PointCloudReader.h"
#include "io/SurfaceReadBack.h"

#include <gtest/gtest.h>

using namespace pelmora;
using namespace pelmora::test;

namespace {

struct Reference
{
  ON_3dPointArray matrix;
  int rows = 0, cols = 0;
  ON_NurbsSurface surface;
};

// The library's drape with the suggested grid (no window can open, so the
// suggestion and a probe diameter of 0 are accepted), then the compensation
// for `probeDiameter`.
Reference LibraryDrape(const std::string &cloud, ON_3dVector direction, int interpolate,
                       double probeDiameter)
{
  PMSelectToolkit(PMToolkitKind::None);
  ON_3dPointArray points;
  Reference reference;
  EXPECT_TRUE(io::ReadPointCloud(cloud, points).ok);
  EXPECT_EQ(PMSurface::DrapeSurface(reference.matrix, reference.rows, reference.cols,
                                    reference.surface, points, direction, interpolate, 0, nullptr),
            1);
  if (probeDiameter != 0)
    PMSurface::Offset(reference.matrix, reference.rows, reference.cols, reference.surface,
                      -0.5 * probeDiameter, 0);
  return reference;
}

double Size(const ON_3dPointArray &points)
{
  ON_BoundingBox box = points.BoundingBox();
  return box.m_min.DistanceTo(box.m_max);
}

} // namespace

TEST(DrapeCommand, BundledSampleGoesToStepInTheCurrentFolder)
{
  TempFolder folder;
  CliRun run = RunPelmora("drape", folder.Path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("wrote      panel.step"), std::string::npos) << run.out;
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"panel.step"});

  Reference reference = LibraryDrape(Sample("panel.xyz"), ON_3dVector(0, 0, -1), 0, 0);
  EXPECT_NE(run.out.find("grid       " + std::to_string(reference.rows) + " rows x " +
                         std::to_string(reference.cols) + " columns (suggested)"),
            std::string::npos)
      << run.out;
  // STEP keeps 12 decimals here: far inside 1e-9 of the surface's size.
  EXPECT_EQ(CompareSurfaces(reference.surface, ReadBackBSpline(folder / "panel.step"),
                            1e-9 * Size(reference.matrix)),
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

  Reference reference = LibraryDrape(Sample("bowl.xyz"), ON_3dVector(0, 0, 1), 1, 3.0);
  // IGES keeps 9 decimals here; 1e-8 of the size is well above that.
  EXPECT_EQ(CompareSurfaces(reference.surface, ReadBackBSpline(folder / "bowl.iges"),
                            1e-8 * Size(reference.matrix)),
            "");
  ON_3dPointArray matrix;
  ASSERT_TRUE(io::ReadPointCloud(folder / "grid.ply", matrix).ok);
  ASSERT_EQ(matrix.Count(), reference.matrix.Count());
  for (int i = 0; i < matrix.Count(); ++i)
    ASSERT_TRUE(matrix[i] == reference.matrix[i]) << "matrix point " << i;
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
  ASSERT_TRUE(surface.ok) << surface.error;
  EXPECT_EQ(surface.poles.size(), 20u);
  EXPECT_EQ(surface.poles[0].size(), 12u);
  ON_3dPointArray matrix;
  ASSERT_TRUE(io::ReadPointCloud(folder / "m.xyz", matrix).ok);
  EXPECT_EQ(matrix.Count(), 240);
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
