// What `pelmora drape` reports about a drape: the deviation summary and
// file, the probe fold warning, the probe typed in the terminal form, and
// the preview picture.
#include "PMSurface.h"
#include "cli/CliRunner.h"
#include "support/ScanLineCloud.h"
#include "surface/DrapePipeline.h"

#include <vtkImageData.h>
#include <vtkNew.h>
#include <vtkPNGReader.h>

#include <cmath>
#include <sstream>

using namespace pelmora;
using namespace pelmora::test;

namespace {

// A 100 x 60 plate scanned in lines 1 apart, with a pit at (20, 15): points
// 1.5 below the plate among the plate's own, so the sheet stays on the
// plate and the pit's points lie below it.
ON_3dPointArray PlateWithPit()
{
  ScanSpec plate;
  plate.xmax = 100.0;
  plate.ymax = 60.0;
  plate.lineSpacing = 1.0;
  plate.pointSpacing = 0.5;
  ON_3dPointArray points = MakeScanLines(plate);
  for (double x = 16.0; x <= 24.0; x += 0.25)
    for (double y = 11.0; y <= 19.0; y += 0.25)
      if ((x - 20) * (x - 20) + (y - 15) * (y - 15) < 16.0)
        points.Append(ON_3dPoint(x, y, -1.5));
  return points;
}

// The deviation column of a csv deviation file, and the fold column.
void ReadDeviationCsv(const std::string &path, std::vector<double> &values, std::vector<int> &folds)
{
  std::istringstream lines(TempFolder::Read(path));
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "x,y,z,deviation,fold");
  while (std::getline(lines, line)) {
    const size_t fold = line.rfind(','), deviation = line.rfind(',', fold - 1);
    const std::string field = line.substr(deviation + 1, fold - deviation - 1);
    values.push_back(field.empty() ? NAN : std::stod(field));
    folds.push_back(std::stoi(line.substr(fold + 1)));
  }
}

struct Picture
{
  int width = 0, height = 0;
  std::vector<unsigned char> rgb; // row 0 at the top
};

Picture ReadPicture(const std::string &path)
{
  vtkNew<vtkPNGReader> reader;
  reader->SetFileName(path.c_str());
  reader->Update();
  Picture picture;
  int dimensions[3];
  reader->GetOutput()->GetDimensions(dimensions);
  picture.width = dimensions[0];
  picture.height = dimensions[1];
  const int channels = reader->GetOutput()->GetNumberOfScalarComponents();
  auto *data = static_cast<unsigned char *>(reader->GetOutput()->GetScalarPointer());
  for (int row = picture.height - 1; row >= 0; --row) // VTK's first row is the bottom one
    for (int column = 0; column < picture.width; ++column)
      for (int c = 0; c < 3; ++c)
        picture.rgb.push_back(data[(size_t(row) * picture.width + column) * channels + c]);
  return picture;
}

bool HasXvfb()
{
  return std::system("command -v xvfb-run >/dev/null 2>&1") == 0;
}

} // namespace

TEST(DrapeReport, DeviationFileAndSummaryHoldTheLibrarysDeviations)
{
  TempFolder folder;
  const ON_3dPointArray cloud = PlateWithPit();
  WriteCloud(folder / "plate.xyz", cloud);
  CliRun run = RunPelmora("drape plate.xyz --tolerance 1 --deviations d.csv --deviations d.ply",
                          folder.Path());
  // The last --deviations wins; run again for the other format.
  ASSERT_EQ(run.status, 0) << run.err;
  run = RunPelmora("drape plate.xyz --tolerance 1 --deviations d.csv", folder.Path());
  ASSERT_EQ(run.status, 0) << run.err;

  // The same drape and measurement through the library.
  DrapeSettings settings;
  PMSurface::SuggestFittedGrid(cloud, ON_3dVector(0, 0, -1), settings.rows, settings.cols);
  settings.interpolate = 1;
  DrapeFrame frame(cloud, ON_3dVector(0, 0, -1), 0);
  ON_3dPointArray matrix;
  ON_NurbsSurface surface;
  ASSERT_EQ(frame.Drape(settings, matrix, surface), 1);
  PMDeviationReport report;
  ON_SimpleArray<double> deviations;
  ASSERT_EQ(1, PMSurface::MeasureDeviations(cloud, surface, ON_3dVector(0, 0, -1), 0.0, 1.0, report,
                                            &deviations));
  char line[200];
  std::snprintf(line, sizeof line,
                "deviation  rms %.4g, mean %.4g, 95 %% within %.4g, largest %.4g", report.rms,
                report.mean, report.percentile95, report.maximum);
  EXPECT_NE(run.out.find(line), std::string::npos) << run.out;
  std::snprintf(line, sizeof line, "%d of %d points", report.beyondTolerance, report.measured);
  EXPECT_NE(run.out.find(line), std::string::npos) << run.out;
  EXPECT_GT(report.beyondTolerance, 100); // the pit

  std::vector<double> values;
  std::vector<int> folds;
  ReadDeviationCsv(folder / "d.csv", values, folds);
  ASSERT_EQ(values.size(), size_t(cloud.Count()));
  for (int i = 0; i < cloud.Count(); ++i)
    ASSERT_DOUBLE_EQ(values[i], deviations[i]) << "point " << i;
  EXPECT_EQ(std::count(folds.begin(), folds.end(), 1), 0);

  // Binary ply: the header, then x, y, z, deviation as doubles and a fold byte.
  const std::string ply = TempFolder::Read(folder / "d.ply");
  const size_t end = ply.find("end_header\n") + 11;
  ASSERT_EQ(ply.size() - end, size_t(cloud.Count()) * 33);
  double first[4];
  std::memcpy(first, ply.data() + end, sizeof first);
  EXPECT_EQ(first[3], deviations[0]);
  EXPECT_EQ(ON_3dPoint(first[0], first[1], first[2]), cloud[0]);
}

// Centres on a cylinder of radius 3 along x: a ball of diameter 8 cannot
// have rolled there, one of 4 can. The drape's compensation folds the
// surface where the probe is too big, the accurate fit warns that the probe
// could not follow; both mark those points in the deviation file's last
// column.
TEST(DrapeReport, ProbeWarningsAreGivenAndMarkedOnlyWhereTheSurfaceBendsTighterThanTheProbe)
{
  TempFolder folder;
  ScanSpec cylinder;
  cylinder.xmax = 20.0;
  cylinder.ymin = -2.5;
  cylinder.ymax = 2.5;
  cylinder.lineSpacing = 0.2;
  cylinder.pointSpacing = 0.2;
  cylinder.jitter = 0.0;
  cylinder.height = [](double, double y) { return std::sqrt(9.0 - y * y); };
  WriteCloud(folder / "cylinder.xyz", MakeScanLines(cylinder));
  const struct
  {
    const char *fit, *warning;
    double markedShare; // of the points, at least, when warned
  } fits[] = {{"", "warning    the probe compensation folds the surface over itself at ", 0.5},
              {"--fit accurate ", "warning    the probe could not follow the part at ", 0.0}};
  for (const auto &fit : fits)
    for (const auto &[diameter, warned] :
         {std::pair{"8", true}, std::pair{"4", false}, std::pair{"0", false}}) {
      SCOPED_TRACE(std::string(fit.fit) + diameter);
      CliRun run = RunPelmora(std::string("drape cylinder.xyz ") + fit.fit +
                                  "--grid 26x101 --deviations f.csv --probe-diameter " + diameter,
                              folder.Path());
      ASSERT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(warned, run.out.find(fit.warning) != std::string::npos) << run.out;
      std::vector<double> values;
      std::vector<int> folds;
      ReadDeviationCsv(folder / "f.csv", values, folds);
      const long marked = std::count(folds.begin(), folds.end(), 1);
      if (warned)
        EXPECT_GT(marked, long(fit.markedShare * folds.size()));
      else
        EXPECT_EQ(marked, 0);
    }
}

TEST(DrapeReport, TheDiameterTypedInTheFormIsReported)
{
  if (std::system("command -v script >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "script is not installed";
  TempFolder folder;
  // Rows and columns as offered, a diameter of 2.5, then OK.
  const std::string command = "cd '" + folder.Path() +
                              "' && printf '\\n\\n2.5\\n\\n' | script -qec \"'" + PELMORA_CLI +
                              "' drape --ask -o ask.step\" /dev/null > out 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << TempFolder::Read(folder / "out");
  EXPECT_NE(
      TempFolder::Read(folder / "out").find("probe      diameter 2.5, surface offset by -1.25"),
      std::string::npos)
      << TempFolder::Read(folder / "out");
}

TEST(DrapePreview, FillsTheFrameAndShowsADeviationHotSpotWhereItIs)
{
  if (!HasXvfb())
    GTEST_SKIP() << "xvfb-run is not installed";
  TempFolder folder;
  WriteCloud(folder / "plate.xyz", PlateWithPit());
  CliRun run = RunPelmora("-q drape plate.xyz --tolerance 1 --preview p.png", folder.Path(),
                          "ASAN_OPTIONS=detect_leaks=0", "xvfb-run -a");
  ASSERT_EQ(run.status, 0) << run.err;
  const Picture picture = ReadPicture(folder / "p.png");
  ASSERT_EQ(picture.width, 1024);
  ASSERT_EQ(picture.height, 768);

  // Coloured pixels (the surface) left of the colour bar, and the dark blue
  // of points far below the surface among them.
  int coloured = 0, left = picture.width, right = 0, top = picture.height, bottom = 0;
  double blueX = 0, blueY = 0;
  int blue = 0;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < int(0.84 * picture.width); ++x) {
      const unsigned char *p = &picture.rgb[(size_t(y) * picture.width + x) * 3];
      const int high = std::max({p[0], p[1], p[2]}), low = std::min({p[0], p[1], p[2]});
      if (high - low < 60)
        continue;
      ++coloured;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      if (p[2] > 90 && p[0] < 60 && p[1] < 60) {
        ++blue;
        blueX += x;
        blueY += y;
      }
    }
  EXPECT_GT(coloured, 0.4 * picture.width * picture.height);
  ASSERT_GT(blue, 100);
  // Seen from above, tilted towards +x: x runs up the picture and y to the
  // left, so the pit at x 20 of 100 and y 15 of 60 lies at 3/4 of the width
  // and 4/5 of the height of the plate's picture.
  EXPECT_NEAR((blueX / blue - left) / (right - left), 0.75, 0.06);
  EXPECT_NEAR((blueY / blue - top) / (bottom - top), 0.80, 0.06);
}
