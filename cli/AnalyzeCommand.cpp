// pelmora analyze CLOUD [--direction X,Y,Z]
#include "PMSurface.h"
#include "cli/Arguments.h"
#include "cli/Commands.h"

#include <cstdio>

namespace pelmora::cli {
namespace {

const char *const kHelp =
    "Usage: pelmora analyze CLOUD [--direction X,Y,Z]\n"
    "\n"
    "Prints the cloud's point count and extent, and two grids for a sheet\n"
    "falling along the direction: 'fitted', the finest grid at which 95 % of\n"
    "the nodes inside the cloud's outline receive a point ('pelmora drape'\n"
    "uses it by default), and 'even', about one node per point (the\n"
    "suggestion of the \"Surface Parameters\" window).\n"
    "\n"
    "  --direction X,Y,Z  drape direction (default 0,0,-1: seen from above)\n";

} // namespace

int RunAnalyze(const std::vector<std::string> &args, const Settings &)
{
  Arguments arguments(args, {"--help", "-h"}, {"--direction", "--format"});
  if (arguments.Has("--help") || arguments.Has("-h")) {
    std::fputs(kHelp, stdout);
    std::fputs(kFormatHelp, stdout);
    return ExitSuccess;
  }
  if (arguments.Positional().size() != 1)
    throw UsageError("analyze needs exactly one CLOUD file (see 'pelmora analyze --help')");
  double direction[3] = {0, 0, -1};
  arguments.Direction("--direction", direction);

  ON_3dPointArray points;
  std::string name;
  if (!LoadCloud(arguments.Positional()[0], arguments.Value("--format"), points, name))
    return ExitBadUsage;

  const ON_BoundingBox box = points.BoundingBox();
  ON_3dPointArray aligned(points);
  const ON_3dVector drape(direction[0], direction[1], direction[2]);
  PMSurface::TransformPoints(aligned, drape, 1, 0);
  int rows = 0, cols = 0, fittedRows = 0, fittedCols = 0;
  PMSurface::AnalyzePoints(aligned, drape, rows, cols);
  PMSurface::SuggestFittedGrid(points, drape, fittedRows, fittedCols);

  std::printf("cloud      %s\n", name.c_str());
  std::printf("points     %d\n", points.Count());
  const char *axes = "xyz";
  for (int k = 0; k < 3; ++k)
    std::printf("%s %c  %.6g .. %.6g  (%.6g)\n", k == 0 ? "extent" : "      ", axes[k],
                box.m_min[k], box.m_max[k], box.m_max[k] - box.m_min[k]);
  std::printf("direction  %.6g,%.6g,%.6g\n", direction[0], direction[1], direction[2]);
  std::printf("fitted     %d rows x %d columns (drape's default)\n", fittedRows, fittedCols);
  std::printf("even       %d rows x %d columns (the Surface Parameters window's)\n", rows, cols);
  return ExitSuccess;
}

} // namespace pelmora::cli
