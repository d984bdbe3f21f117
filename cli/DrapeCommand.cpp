// pelmora drape [CLOUD] [--direction X,Y,Z] [--grid fit|even|RxC] [--rows R --cols C]
//   [--fit drape|accurate [--smooth W]] [--probe-diameter D] [--floor] [--ask] [--tolerance T] [-o
//   surface.step|.iges]
//   [--matrix grid.xyz|.csv|.ply] [--deviations FILE.csv|.ply]
//   [--preview picture.png [--preview-points]]
//
// Steps: read the options and check every output; load the cloud; choose
// the grid (and ask, with --ask); drape; measure the cloud against the
// surface; print the summary; write the files.
#include "PMSurface.h"
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/DrapeSummary.h"
#include "cli/Outputs.h"
#include "cli/Preview.h"
#include "io/DeviationWriter.h"
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
    "direction, writes it as STEP or IGES and reports how far the cloud lies\n"
    "from it. Without CLOUD the bundled sample (a car-body panel probed from\n"
    "above) is draped, and the outputs go to the current folder.\n"
    "\n"
    "  --direction X,Y,Z    drape direction (default 0,0,-1: seen from above)\n"
    "  --grid fit|even|RxC  grid: 'fit' (default) the finest at which 95 % of the\n"
    "                       nodes inside the cloud's outline hold a point; 'even'\n"
    "                       one node per point (the \"Surface Parameters\" window's\n"
    "                       suggestion); RxC rows x columns, e.g. 150x44\n"
    "  --rows R, --cols C   override the rows or columns of that grid (at least 3)\n"
    "  --fit drape|accurate 'drape' (default): the sheet of the \"Surface\n"
    "                       Parameters\" steps, its control points on the grid's\n"
    "                       highest points; 'accurate': a least-squares surface\n"
    "                       through the points themselves and, with a probe, the\n"
    "                       lower envelope of the ball (far closer to the part;\n"
    "                       the point matrix is then its control net)\n"
    "  --smooth W           with --fit accurate: the smoothing weight, a length^4\n"
    "                       (W^0.25 is about the width of the bumps it smooths\n"
    "                       away; default: chosen from the points)\n"
    "  --probe-diameter D   compensate for a probe ball of diameter D (0 or more;\n"
    "                       default 0)\n"
    "  --floor              lower the holes to the cloud's lowest height (default:\n"
    "                       fill holes inside the grid from their neighbours;\n"
    "                       --interpolate, that default, is still accepted)\n"
    "  --ask                confirm rows, columns and diameter in the terminal\n"
    "                       form \"Surface Parameters\" (needs a terminal)\n"
    "  --tolerance T        count the points deviating by more than T\n"
    "  -o FILE              surface file: .step/.stp or .iges/.igs\n"
    "                       (default: CLOUD's name with .step, in this folder)\n"
    "  --matrix FILE        also write the point matrix: .xyz, .csv or .ply\n"
    "  --deviations FILE    also write every point's signed deviation from the\n"
    "                       surface (and whether it lies on a probe fold): .csv, .ply\n"
    "  --preview FILE.png   also render a picture coloured by deviation (needs a\n"
    "                       display; use xvfb-run where there is none)\n"
    "  --preview-points     draw every cloud point in the picture (default: a\n"
    "                       sparse sample)\n"
    "\n"
    "The deviation of a point is its distance to the closest surface point,\n"
    "positive on the side the sheet fell from; with a probe it is measured from\n"
    "the probe centre and the radius is subtracted.\n";

constexpr int kFewestNodes = 3; // a biquadratic surface needs 3 control points each way

struct DrapeOptions
{
  std::string cloudPath;
  double direction[3] = {0, 0, -1};
  std::string grid = "fit";
  int gridRows = 0, gridCols = 0; // of a --grid ROWSxCOLUMNS
  bool accurate = false;          // --fit accurate
  double smoothing = -1.0;        // --smooth; negative: chosen by the fit
  double probeDiameter = 0.0;
  bool floor = false;
  bool ask = false;
  bool hasTolerance = false;
  double tolerance = 0.0;
  bool previewPoints = false;
  std::string surfacePath, matrixPath, deviationsPath, previewPath;
};

// "RxC" with two whole numbers; false for anything else.
bool ParseRowsByCols(const std::string &text, int &rows, int &cols)
{
  const size_t x = text.find_first_of("xX");
  if (x == std::string::npos)
    return false;
  try {
    Arguments counts({"--rows", text.substr(0, x), "--cols", text.substr(x + 1)}, {},
                     {"--rows", "--cols"});
    rows = counts.PositiveInt("--rows", 0);
    cols = counts.PositiveInt("--cols", 0);
    return true;
  } catch (const UsageError &) {
    return false;
  }
}

DrapeOptions ReadOptions(const Arguments &arguments)
{
  DrapeOptions options;
  if (arguments.Positional().size() > 1)
    throw UsageError("drape takes at most one CLOUD file (see 'pelmora drape --help')");
  options.cloudPath = arguments.Positional().empty() ? "" : arguments.Positional()[0];
  arguments.Direction("--direction", options.direction);
  options.grid = arguments.Value("--grid", "fit");
  if (options.grid != "fit" && options.grid != "even" &&
      !ParseRowsByCols(options.grid, options.gridRows, options.gridCols))
    throw UsageError("--grid needs fit, even or ROWSxCOLUMNS (like 150x44), not '" + options.grid +
                     "'");
  const std::string fit = arguments.Value("--fit", "drape");
  if (fit != "drape" && fit != "accurate")
    throw UsageError("--fit needs drape or accurate, not '" + fit + "'");
  options.accurate = fit == "accurate";
  if (arguments.Has("--smooth")) {
    if (!options.accurate)
      throw UsageError("--smooth is the weight of --fit accurate: give --fit accurate too");
    options.smoothing = arguments.FiniteDouble("--smooth", 0.0);
    if (options.smoothing < 0.0)
      throw UsageError("--smooth needs a weight of 0 or more, not '" + arguments.Value("--smooth") +
                       "'");
  }
  if (options.accurate && (arguments.Has("--floor") || arguments.Has("--interpolate")))
    throw UsageError("--floor and --interpolate choose the drape's hole rule; --fit accurate "
                     "holds holes by its smoothing");
  options.probeDiameter = arguments.FiniteDouble("--probe-diameter", 0.0);
  if (options.probeDiameter < 0.0)
    throw UsageError("--probe-diameter needs a diameter of 0 or more, not '" +
                     arguments.Value("--probe-diameter") + "'");
  arguments.PositiveInt("--rows", 1);
  arguments.PositiveInt("--cols", 1);
  options.floor = arguments.Has("--floor");
  if (options.floor && arguments.Has("--interpolate"))
    throw UsageError("--floor and --interpolate ask for opposite hole rules: give one");
  options.ask = arguments.Has("--ask");
  if (options.ask &&
      (arguments.Has("--rows") || arguments.Has("--cols") || arguments.Has("--probe-diameter")))
    throw UsageError("--ask asks for rows, columns and probe diameter: give them there");
  if (options.ask && !::isatty(STDIN_FILENO))
    throw UsageError("--ask needs a terminal on standard input");
  options.hasTolerance = arguments.Has("--tolerance");
  options.tolerance = arguments.FiniteDouble("--tolerance", 0.0);
  if (options.tolerance < 0.0)
    throw UsageError("--tolerance needs a value of 0 or more, not '" +
                     arguments.Value("--tolerance") + "'");
  options.previewPoints = arguments.Has("--preview-points");

  options.surfacePath = arguments.Value("-o", arguments.Value("--output"));
  if (options.surfacePath.empty())
    options.surfacePath = (options.cloudPath.empty() ? "panel" : Stem(options.cloudPath)) + ".step";
  options.matrixPath = arguments.Value("--matrix");
  options.deviationsPath = arguments.Value("--deviations");
  options.previewPath = arguments.Value("--preview");
  if (options.previewPoints && options.previewPath.empty())
    throw UsageError("--preview-points needs --preview");
  CheckOutput(options.surfacePath, {"step", "stp", "iges", "igs"}, "surface", options.cloudPath);
  CheckOutput(options.matrixPath, {"xyz", "csv", "ply"}, "point matrix", options.cloudPath);
  CheckOutput(options.deviationsPath, {"csv", "ply"}, "deviation", options.cloudPath);
  CheckOutput(options.previewPath, {"png"}, "preview", options.cloudPath);
  return options;
}

// The grid of --grid, with --rows and --cols over it.
void ChooseGrid(const DrapeOptions &options, const Arguments &arguments, const DrapeFrame &frame,
                const ON_3dPointArray &points, DrapeOutcome &outcome)
{
  if (options.grid == "fit") {
    PMSurface::SuggestFittedGrid(points, frame.Direction(), outcome.rows, outcome.cols);
    outcome.gridOrigin = "fitted to the cloud's spacing";
  } else if (options.grid == "even") {
    frame.SuggestGrid(outcome.rows, outcome.cols);
    outcome.gridOrigin = "even: one node per point";
  } else {
    outcome.rows = options.gridRows;
    outcome.cols = options.gridCols;
  }
  if (arguments.Has("--rows") || arguments.Has("--cols"))
    outcome.gridOrigin.clear();
  outcome.rows = arguments.PositiveInt("--rows", outcome.rows);
  outcome.cols = arguments.PositiveInt("--cols", outcome.cols);
}

// Refuses grids no surface can be fitted through, naming where they came from.
void RequireSurfaceGrid(const DrapeOutcome &outcome, const std::string &cloudName)
{
  if (outcome.rows >= kFewestNodes && outcome.cols >= kFewestNodes)
    return;
  const std::string grid = std::to_string(outcome.rows) + " x " + std::to_string(outcome.cols);
  if (outcome.gridOrigin.empty())
    throw UsageError("a surface needs at least 3 rows and 3 columns, not " + grid);
  throw UsageError(cloudName + ": the suggested grid is " + grid +
                   ", and a surface needs at least 3 rows and 3 columns: the cloud needs an "
                   "extent across the drape direction, or give --grid RxC");
}

// The terminal form, started with the chosen grid and no probe.
bool AskParameters(DrapeOutcome &outcome)
{
  double diameter = 0.0;
  if (!PMSurface::GetSurfaceParameters(outcome.rows, outcome.cols, diameter, nullptr))
    return false;
  if (!(diameter >= 0.0))
    throw UsageError("the probe diameter must be 0 or more, not " + std::to_string(diameter));
  outcome.probeDiameter = diameter;
  outcome.gridOrigin.clear();
  return true;
}

// The sheet of the drape steps on the chosen grid.
bool DrapeSheet(DrapeFrame &frame, int progress, DrapeOutcome &outcome)
{
  DrapeSettings drape;
  drape.rows = outcome.rows;
  drape.cols = outcome.cols;
  drape.probeDiameter = outcome.probeDiameter;
  drape.interpolate = outcome.interpolated ? 1 : 0;
  drape.showProgress = progress;
  return frame.Drape(drape, outcome.matrix, outcome.surface, &outcome.folds) != 0;
}

// The accurate fit on the chosen grid. Its control net stands in for the
// point matrix (element j * cols + i is control point (i, j)), and the nodes
// under the places where the ball could not follow the part for the folds.
bool FitAccurately(const ON_3dPointArray &points, const ON_3dVector &direction, double smoothing,
                   int progress, DrapeOutcome &outcome)
{
  outcome.accurate = true;
  if (!PMSurface::FitSurfaceToPoints(outcome.surface, outcome.fit, points, direction, outcome.rows,
                                     outcome.cols, outcome.probeDiameter, smoothing, progress))
    return false;
  outcome.matrix.Empty();
  outcome.matrix.Reserve(outcome.rows * outcome.cols);
  for (int j = 0; j < outcome.rows; ++j)
    for (int i = 0; i < outcome.cols; ++i)
      outcome.matrix.Append(ON_3dPoint(outcome.surface.CV(i, j)));
  outcome.folds = NodesUnder(outcome.fit.tight, outcome, points, direction);
  return true;
}

// Grid coverage, deviations and the points on folds.
void JudgeDrape(const ON_3dPointArray &points, const ON_3dVector &direction,
                const DrapeOptions &options, DrapeOutcome &outcome)
{
  PMSurface::MeasureGridCoverage(points, direction, outcome.rows, outcome.cols, outcome.coverage);
  outcome.hasTolerance = options.hasTolerance;
  if (!PMSurface::MeasureDeviations(points, outcome.surface, direction, outcome.probeDiameter,
                                    options.tolerance, outcome.deviation, &outcome.deviations,
                                    &outcome.parameters))
    throw std::runtime_error(PMSurface::GetError().ToUtf8());
  outcome.onFold = PointsOnFolds(outcome, points, direction);
}

bool WriteOutputs(const DrapeOptions &options, const ON_3dPointArray &points,
                  const ON_3dVector &direction, const DrapeOutcome &outcome, bool quiet)
{
  Written written(quiet);
  if (!written.Add(options.surfacePath, io::WriteSurface(options.surfacePath, outcome.surface)))
    return false;
  if (!options.matrixPath.empty() &&
      !written.Add(options.matrixPath, io::WritePointMatrix(options.matrixPath, outcome.matrix,
                                                            outcome.rows, outcome.cols)))
    return false;
  if (!options.deviationsPath.empty() &&
      !written.Add(options.deviationsPath,
                   io::WriteDeviations(options.deviationsPath, points, outcome.deviations.Array(),
                                       outcome.onFold.data())))
    return false;
  if (!options.previewPath.empty()) {
    PreviewScene scene{&points, direction, &outcome.surface, nullptr};
    scene.deviations = &outcome.deviations;
    scene.parameters = &outcome.parameters;
    scene.onFold = &outcome.onFold;
    scene.colourRange = options.hasTolerance && options.tolerance > 0.0 ? options.tolerance : 0.0;
    scene.allPoints = options.previewPoints;
    if (!written.Add(options.previewPath, RenderPreview(options.previewPath, scene)))
      return false;
  }
  return written.Commit();
}

} // namespace

int RunDrape(const std::vector<std::string> &args, const Settings &settings)
{
  Arguments arguments(
      args, {"--help", "-h", "--interpolate", "--floor", "--ask", "--preview-points"},
      {"--direction", "--grid", "--rows", "--cols", "--fit", "--smooth", "--probe-diameter",
       "--tolerance", "-o", "--output", "--format", "--matrix", "--deviations", "--preview"});
  if (arguments.Has("--help") || arguments.Has("-h")) {
    std::fputs(kHelp, stdout);
    std::fputs(kFormatHelp, stdout);
    return ExitSuccess;
  }
  const DrapeOptions options = ReadOptions(arguments);

  ON_3dPointArray points;
  std::string name;
  if (!LoadCloud(options.cloudPath, arguments.Value("--format"), points, name))
    return ExitBadUsage;
  RequirePreviewDisplay(options.previewPath);

  const ON_3dVector direction(options.direction[0], options.direction[1], options.direction[2]);
  const int progress = settings.quiet ? 0 : 1;
  DrapeFrame frame(points, direction, progress);
  DrapeOutcome outcome;
  outcome.probeDiameter = options.probeDiameter;
  outcome.interpolated = !options.floor;
  ChooseGrid(options, arguments, frame, points, outcome);
  if (options.ask && !AskParameters(outcome)) {
    PrintError(PMSurface::GetError().ToUtf8());
    return ExitFailed;
  }
  RequireSurfaceGrid(outcome, name);

  const bool built = options.accurate
                         ? FitAccurately(points, direction, options.smoothing, progress, outcome)
                         : DrapeSheet(frame, progress, outcome);
  if (!built || !outcome.surface.IsValid()) {
    PrintError(PMSurface::GetError().ToUtf8());
    return ExitFailed;
  }
  // Quiet and with no file that shows them, nobody sees the deviations.
  if (!settings.quiet || !options.deviationsPath.empty() || !options.previewPath.empty())
    JudgeDrape(points, direction, options, outcome);
  if (!settings.quiet)
    PrintDrapeSummary(name, points.Count(), options.direction, outcome);
  return WriteOutputs(options, points, direction, outcome, settings.quiet) ? ExitSuccess
                                                                           : ExitFailed;
}

} // namespace pelmora::cli
