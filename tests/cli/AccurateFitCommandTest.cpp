// `pelmora drape --fit accurate`: the tool writes the library's accurate fit,
// and its control net as the point matrix.
#include "PMSurface.h"
#include "cli/CliRunner.h"
#include "io/SurfaceReadBack.h"

using namespace pelmora;
using namespace pelmora::test;

TEST(AccurateFitCommand, WritesTheLibrarysFitAndItsControlNetAsTheMatrix)
{
  TempFolder folder;
  const ON_3dPointArray points = ReadPoints(Sample("panel.xyz"));
  int rows = 0, cols = 0;
  PMSurface::SuggestFittedGrid(points, ON_3dVector(0, 0, -1), rows, cols);
  const struct
  {
    const char *options;
    double smoothing;
    const char *line;
  } cases[] = {{"", -1.0, " (chosen by hold-out), residual rms "},
               {"--smooth 2 ", 2.0, "fit        accurate: least squares, smoothing 2 (given)"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.options);
    CliRun run = RunPelmora(std::string("drape --fit accurate --probe-diameter 3 ") + c.options +
                                "-o p.step --matrix m.ply",
                            folder.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(c.line), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("probe      diameter 3, surface on the ball's lower envelope\n"),
              std::string::npos);
    EXPECT_NE(run.out.find(" held by the smoothing ("), std::string::npos);

    ON_NurbsSurface surface;
    PMFitReport report;
    ASSERT_EQ(PMSurface::FitSurfaceToPoints(surface, report, points, ON_3dVector(0, 0, -1), rows,
                                            cols, 3.0, c.smoothing, 0),
              1);
    const ON_3dPointArray matrix = ReadPoints(folder / "m.ply");
    ASSERT_EQ(matrix.Count(), rows * cols);
    for (int j = 0; j < rows; ++j)
      for (int i = 0; i < cols; ++i)
        ASSERT_EQ(matrix[j * cols + i], ON_3dPoint(surface.CV(i, j))) << i << ", " << j;
    const ON_BoundingBox box = matrix.BoundingBox();
    EXPECT_EQ(CompareSurfaces(surface, ReadBackBSpline(folder / "p.step"),
                              1e-9 * box.m_min.DistanceTo(box.m_max)),
              "");
  }
}

TEST(AccurateFitCommand, OptionsThatDoNotGoTogetherAreRefusedBeforeAnyWork)
{
  TempFolder folder;
  folder.Write("old.step", "precious");
  ExpectRefused(
      folder.Path(),
      {
          {"drape --smooth 2 -o old.step", "pelmora: --smooth is the weight of --fit accurate"},
          {"drape --fit exact -o old.step",
           "pelmora: --fit needs drape or accurate, not 'exact'\n"},
          {"drape --fit accurate --smooth -1 -o old.step",
           "pelmora: --smooth needs a weight of 0 or more, not '-1'\n"},
          {"drape --fit accurate --smooth nan -o old.step", "--smooth"},
          {"drape --fit accurate --floor -o old.step",
           "--fit accurate holds holes by its smoothing"},
          {"drape --fit accurate --interpolate -o old.step", "choose the drape's hole rule"},
      });
  EXPECT_EQ(TempFolder::Read(folder / "old.step"), "precious");
  EXPECT_EQ(folder.Entries().size(), 1u);
}
