// pelmora drape [CLOUD] [--direction X,Y,Z] [--rows R --cols C]
//   [--probe-diameter D] [--interpolate] [--ask] [-o surface.step|.iges]
//   [--matrix grid.xyz|.csv|.ply] [--preview picture.png]
#include "PMSurface.h"
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Outputs.h"
#include "cli/Preview.h"
#include "io/AtomicWrite.h"
#include "io/FileBuffer.h"
#include "io/PointMatrixWriter.h"
#include "io/SurfaceWriter.h"
#include "surface/DrapePipeline.h"

#include <cstdio>
#include <unistd.h>

namespace pelmora::cli {
namespace {

const char *const kHelp =
    "Usage: pelmora drape [CLOUD] [OPTIONS]\n"
    "\n"
    "Drapes a NURBS surface over CLOUD as if a sheet fell onto it along the\n"
    "direction, and writes it as STEP or IGES. Without CLOUD the bundled\n"
    "sample (a car-body panel probed from above) is draped, and the outputs\n"
    "go to the current folder.\n"
    "\n"
    "  --direction X,Y,Z    drape direction (default 0,0,-1: seen from above)\n"
    "  --rows R, --cols C   grid size (default: the suggestion of 'analyze')\n"
    "  --probe-diameter D   compensate for a probe ball of diameter D (default 0)\n"
    "  --interpolate        fill interior holes from their neighbours (default:\n"
    "                       lower them to the cloud's lowest height)\n"
    "  --ask                confirm rows, columns and diameter in the terminal\n"
    "                       form \"Surface Parameters\" (needs a terminal)\n"
    "  -o FILE              surface file: .step/.stp or .iges/.igs\n"
    "                       (default: CLOUD's name with .step, in this folder)\n"
    "  --matrix FILE        also write the point matrix: .xyz, .csv or .ply\n"
    "  --preview FILE.png   also render a shaded picture (needs a display;\n"
    "                       use xvfb-run where there is none)\n";

struct DrapeResult
{
  ON_3dPointArray matrix;
  int rows = 0, cols = 0;
  ON_NurbsSurface surface;
  bool suggested = true;
};

// The drape with the grid and diameter of the command line (the suggested
// grid where none is given); false when the matrix or the surface failed.
bool DrapeWithoutAsking(const ON_3dPointArray &points, const ON_3dVector &direction,
                        const Arguments &arguments, double diameter, int interpolate, int progress,
                        DrapeResult &result)
{
  DrapeFrame frame(points, direction, progress);
  frame.SuggestGrid(result.rows, result.cols);
  result.suggested = !arguments.Has("--rows") && !arguments.Has("--cols");
  result.rows = arguments.PositiveInt("--rows", result.rows);
  result.cols = arguments.PositiveInt("--cols", result.cols);
  DrapeSettings settings;
  settings.rows = result.rows;
  settings.cols = result.cols;
  settings.probeDiameter = diameter;
  settings.interpolate = interpolate;
  settings.showProgress = progress;
  return frame.Drape(settings, result.matrix, result.surface) && result.surface.IsValid();
}

void PrintSummary(const std::string &name, int count, const double direction[3],
                  const DrapeResult &result, double diameter)
{
  std::printf("cloud      %s (%d points)\n", name.c_str(), count);
  std::printf("direction  %.6g,%.6g,%.6g\n", direction[0], direction[1], direction[2]);
  std::printf("grid       %d rows x %d columns%s\n", result.rows, result.cols,
              result.suggested ? " (suggested)" : "");
  if (diameter != 0.0)
    std::printf("probe      diameter %.6g, surface offset by %.6g\n", diameter, -0.5 * diameter);
  const ON_NurbsSurface &s = result.surface;
  std::printf("surface    degree %d x %d, %d x %d control points, domain [%.6g, %.6g] x "
              "[%.6g, %.6g]\n",
              s.Degree(0), s.Degree(1), s.CVCount(0), s.CVCount(1), s.Domain(0)[0], s.Domain(0)[1],
              s.Domain(1)[0], s.Domain(1)[1]);
}

} // namespace

int RunDrape(const std::vector<std::string> &args, const Settings &settings)
{
  Arguments arguments(args, {"--help", "-h", "--interpolate", "--ask"},
                      {"--direction", "--rows", "--cols", "--probe-diameter", "-o", "--output",
                       "--format", "--matrix", "--preview"});
  if (arguments.Has("--help") || arguments.Has("-h")) {
    std::fputs(kHelp, stdout);
    std::fputs(kFormatHelp, stdout);
    return ExitSuccess;
  }
  if (arguments.Positional().size() > 1)
    throw UsageError("drape takes at most one CLOUD file (see 'pelmora drape --help')");
  const std::string cloudPath = arguments.Positional().empty() ? "" : arguments.Positional()[0];
  double direction[3] = {0, 0, -1};
  arguments.Direction("--direction", direction);
  const double diameter = arguments.FiniteDouble("--probe-diameter", 0.0);
  arguments.PositiveInt("--rows", 1);
  arguments.PositiveInt("--cols", 1);
  const bool ask = arguments.Has("--ask");
  if (ask &&
      (arguments.Has("--rows") || arguments.Has("--cols") || arguments.Has("--probe-diameter")))
    throw UsageError("--ask asks for rows, columns and probe diameter: give them there");
  if (ask && !::isatty(STDIN_FILENO))
    throw UsageError("--ask needs a terminal on standard input");

  std::string surfacePath = arguments.Value("-o", arguments.Value("--output"));
  if (surfacePath.empty())
    surfacePath = (cloudPath.empty() ? "panel" : Stem(cloudPath)) + ".step";
  const std::string matrixPath = arguments.Value("--matrix");
  const std::string previewPath = arguments.Value("--preview");
  CheckOutput(surfacePath, {"step", "stp", "iges", "igs"}, "surface", cloudPath);
  CheckOutput(matrixPath, {"xyz", "csv", "ply"}, "point matrix", cloudPath);
  CheckOutput(previewPath, {"png"}, "preview", cloudPath);

  ON_3dPointArray points;
  std::string name;
  if (!LoadCloud(cloudPath, arguments.Value("--format"), points, name))
    return ExitBadUsage;
  RequirePreviewDisplay(previewPath);

  const ON_3dVector drape(direction[0], direction[1], direction[2]);
  const int progress = settings.quiet ? 0 : 1;
  DrapeResult result;
  bool done;
  if (ask) {
    done =
        PMSurface::DrapeSurface(result.matrix, result.rows, result.cols, result.surface, points,
                                drape, arguments.Has("--interpolate") ? 1 : 0, progress, nullptr) &&
        result.surface.IsValid();
    result.suggested = false;
  } else {
    done = DrapeWithoutAsking(points, drape, arguments, diameter,
                              arguments.Has("--interpolate") ? 1 : 0, progress, result);
  }
  if (!done) {
    PrintError(PMSurface::GetError().ToUtf8());
    return ExitFailed;
  }
  if (!settings.quiet)
    PrintSummary(name, points.Count(), direction, result, diameter);

  Written written(settings.quiet);
  if (!written.Add(surfacePath, io::WriteSurface(surfacePath, result.surface)))
    return ExitFailed;
  if (!matrixPath.empty() &&
      !written.Add(matrixPath,
                   io::WritePointMatrix(matrixPath, result.matrix, result.rows, result.cols)))
    return ExitFailed;
  if (!previewPath.empty()) {
    PreviewScene scene{&points, drape, &result.surface, nullptr};
    if (!written.Add(previewPath, RenderPreview(previewPath, scene)))
      return ExitFailed;
  }
  return written.Commit() ? ExitSuccess : ExitFailed;
}

} // namespace pelmora::cli
