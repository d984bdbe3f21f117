// Writers: what is written reads back (exactly where the format keeps
// doubles), and a failed write leaves neither a partial file nor a changed
// target behind.
#include "io/AtomicWrite.h"
#include "io/MeshWriter.h"
#include "io/PointCloudReader.h"
#include "io/PointMatrixWriter.h"
#include "io/SurfaceReadBack.h"
#include "io/SurfaceWriter.h"
#include "io/TempFolder.h"
#include "io/TextOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

using namespace pelmora;
using pelmora::test::TempFolder;

namespace {

std::vector<ON_3dPoint> Sorted(std::vector<ON_3dPoint> points)
{
  std::sort(points.begin(), points.end(), [](const ON_3dPoint &a, const ON_3dPoint &b) {
    return std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z);
  });
  return points;
}

// Degree 2 x 3 with uneven interior knots and a double knot, so that the
// end-knot completion and the multiplicities matter.
ON_NurbsSurface UnevenSurface()
{
  ON_NurbsSurface surface(3, false, 3, 4, 5, 6);
  const double knots[2][8] = {{0, 0, 0.3, 0.35, 1, 1}, {-2, -2, -2, 0.5, 0.5, 3, 3, 3}};
  for (int dir = 0; dir < 2; ++dir)
    for (int k = 0; k < surface.KnotCount(dir); ++k)
      surface.SetKnot(dir, k, knots[dir][k]);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 6; ++j)
      surface.SetCV(i, j, ON_3dPoint(100.0 * i / 3, 50.0 * j / 7, 10 * std::sin(i + 2.0 * j) / 3));
  return surface;
}

} // namespace

TEST(AtomicWrite, FailedWritesLeaveTheTargetAndNoTemporaryFile)
{
  TempFolder folder;
  const std::string target = folder.Write("out.step", "precious");
  using Writer = std::function<io::IoResult(const std::string &)>;
  const std::pair<Writer, std::string> cases[] = {
      {[](const std::string &temp) {
         std::ofstream(temp, std::ios::app) << "half";
         return io::IoResult::Fail("writer broke");
       },
       "writer broke"},
      {[](const std::string &) -> io::IoResult { throw std::runtime_error("boom"); },
       "cannot write " + target + ": boom"},
      {[](const std::string &) { return io::IoResult::Ok(); },
       "cannot write " + target + ": nothing was written"},
  };
  for (const auto &[writer, message] : cases) {
    EXPECT_EQ(io::WriteAtomically(target, writer).message, message);
    EXPECT_EQ(TempFolder::Read(target), "precious");
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"out.step"});
  }
}

TEST(AtomicWrite, UnwritablePlacesAreRefusedBeforeWriting)
{
  TempFolder folder;
  folder.Write("file", "x");
  bool called = false;
  auto write = [&](const std::string &) { return called = true, io::IoResult::Ok(); };
  const std::pair<std::string, std::string> cases[] = {
      {folder / "no/such/out.stl", "No such file or directory"},
      {folder / "file/out.stl", folder / "file" + " is not a folder"},
      {folder.Path(), "it is a folder"},
  };
  for (const auto &[path, reason] : cases)
    EXPECT_EQ(io::WriteAtomically(path, write).message, "cannot write " + path + ": " + reason);
  EXPECT_FALSE(called);
}

TEST(Writers, PointMatricesAndMeshesReadBackInEveryFormat)
{
  TempFolder folder;
  ON_3dPointArray matrix;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 5; ++c)
      matrix.Append(ON_3dPoint(c / 3.0, r * 0.1 - 7, std::sin(c) * std::exp(r * 0.3) * 1e-7));
  for (const char *name : {"grid.xyz", "grid.csv", "grid.ply"}) {
    ASSERT_TRUE(io::WritePointMatrix(folder / name, matrix, 4, 5).ok) << name;
    ON_3dPointArray back;
    ASSERT_TRUE(io::ReadPointCloud(folder / name, back).ok) << name;
    EXPECT_TRUE(std::equal(back.Array(), back.Array() + back.Count(), matrix.Array(),
                           matrix.Array() + matrix.Count()))
        << name;
  }
  EXPECT_EQ(TempFolder::Read(folder / "grid.xyz").substr(0, 19), "# rows 4 cols 5\n0 -");

  ON_Mesh mesh; // a tetrahedron whose float vertices are not round in double
  const ON_3dPoint corners[] = {{0, 0, 0}, {1.0 / 3, 0, 0}, {0, 0.1, 0}, {0, 0, 7.7}};
  for (int v = 0; v < 4; ++v)
    mesh.SetVertex(v, corners[v]);
  const int faces[4][3] = {{0, 2, 1}, {0, 1, 3}, {1, 2, 3}, {2, 0, 3}};
  for (int f = 0; f < 4; ++f)
    mesh.SetTriangle(f, faces[f][0], faces[f][1], faces[f][2]);
  // STL holds floats; the others the mesh's doubles, and floats when it has none.
  ON_Mesh floatOnly(mesh);
  floatOnly.m_dV.Destroy();
  std::vector<ON_3dPoint> doubles(corners, corners + 4), floats;
  for (int v = 0; v < 4; ++v)
    floats.push_back(ON_3dPoint(mesh.m_V[v]));
  doubles = Sorted(doubles);
  floats = Sorted(floats);
  for (const ON_Mesh *written : {&mesh, &floatOnly})
    for (const char *name : {"m.stl", "m.ply", "m.vtp", "m.obj"}) {
      const bool keepsDoubles = written == &mesh && std::string(name) != "m.stl";
      auto result = io::WriteMesh(folder / name, *written);
      ASSERT_TRUE(result.ok) << result.message;
      ON_3dPointArray read;
      auto reread = io::ReadPointCloud(folder / name, read);
      ASSERT_TRUE(reread.ok) << reread.message;
      const auto back = Sorted({read.Array(), read.Array() + read.Count()});
      ASSERT_EQ(back.size(), 4u) << name;
      EXPECT_EQ(back, keepsDoubles ? doubles : floats) << name;
    }
  EXPECT_FALSE(io::WritePointMatrix(folder / "grid.obj", matrix, 4, 5).ok);
  EXPECT_FALSE(io::WriteMesh(folder / "empty.stl", ON_Mesh()).ok);
  EXPECT_EQ(folder.Entries().size(), 7u);
}

TEST(SurfaceWriter, StepAndIgesKeepEveryNumberExactly)
{
  // Numbers without a short decimal form, tiny and huge magnitudes, a
  // negative zero; a rational surface (its boundary curves rational too);
  // knots that are not clamped (the boundary curves then blend rows).
  ON_NurbsSurface awkward = UnevenSurface();
  awkward.SetCV(0, 0, ON_3dPoint(1.0 / 3, 0.1, -0.0));
  awkward.SetCV(2, 3, ON_3dPoint(1e-300, -2.5e-17, 123456789.123456789));
  awkward.SetCV(4, 5, ON_3dPoint(12345.678e3, std::nextafter(7.0, 8.0), -1e-5));
  ON_NurbsSurface rational(3, true, 3, 3, 4, 5);
  rational.MakeClampedUniformKnotVector(0);
  rational.MakeClampedUniformKnotVector(1);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 5; ++j) {
      const double w = 0.5 + (i * 5 + j) % 3 / 3.0;
      rational.SetCV(i, j, ON_4dPoint(w * i, w * j * 0.7, w * std::sin(i + j), w));
    }
  ON_NurbsSurface unclamped = UnevenSurface();
  const double knots[6] = {-1, 0, 0.3, 0.35, 1, 1.5};
  for (int k = 0; k < 6; ++k)
    unclamped.SetKnot(0, k, knots[k]);
  const struct
  {
    const char *name;
    const ON_NurbsSurface &surface;
  } cases[] = {{"uneven", UnevenSurface()},
               {"awkward", awkward},
               {"rational", rational},
               {"unclamped", unclamped}};
  TempFolder folder;
  for (const auto &c : cases)
    for (const char *extension : {".step", ".stp", ".iges", ".igs"}) {
      const std::string name = std::string(c.name) + extension;
      SCOPED_TRACE(name);
      ASSERT_TRUE(c.surface.IsValid());
      auto written = io::WriteSurface(folder / name, c.surface);
      ASSERT_TRUE(written.ok) << written.message;
      EXPECT_EQ(test::CompareSurfaces(c.surface, test::ReadBackBSpline(folder / name), 1e-6), "");
    }
}

TEST(SurfaceWriter, LongAndOddFileNamesGoIntoTheHeaders)
{
  // The name is quoted in STEP and a Hollerith string in IGES, whose global
  // section then runs over several lines.
  TempFolder folder;
  const std::string stem = "it's, ;odd" + std::string(140, 'n');
  for (const char *extension : {".step", ".igs"}) {
    const std::string path = folder / (stem + extension);
    ASSERT_TRUE(io::WriteSurface(path, UnevenSurface()).ok) << extension;
    EXPECT_EQ(test::CompareSurfaces(UnevenSurface(), test::ReadBackBSpline(path), 1e-6), "")
        << extension;
  }
}

TEST(SurfaceWriter, RefusesWhatCannotBeWrittenAndKeepsTheOldFile)
{
  ON_NurbsSurface notFinite = UnevenSurface();
  notFinite.SetCV(1, 1, ON_3dPoint(0, NAN, 0));
  ON_NurbsSurface planar(2, false, 3, 3, 3, 3);
  planar.MakeClampedUniformKnotVector(0);
  planar.MakeClampedUniformKnotVector(1);
  TempFolder folder;
  const std::string target = folder.Write("old.step", "precious");
  for (const ON_NurbsSurface &surface : {ON_NurbsSurface(), notFinite, planar}) {
    EXPECT_EQ(io::WriteSurface(target, surface).message,
              "cannot write " + target + ": the surface is not valid");
    EXPECT_EQ(TempFolder::Read(target), "precious");
  }
  EXPECT_FALSE(io::WriteSurface(folder / "s.dxf", UnevenSurface()).ok);
  EXPECT_EQ(folder.Entries(), (std::set<std::string>{"old.step"}));
}

TEST(TextOutput, RealsReadBackExactlyInTheFormOfExchangeFiles)
{
  const struct
  {
    double value;
    const char *text;
  } cases[] = {{0.0, "0."},
               {-0.0, "-0."},
               {1.0, "1."},
               {2.5, "2.5"},
               {-123456.0, "-123456."},
               {0.1, "0.1"},
               {1e-7, "1.E-07"},
               {1e20, "1.E+20"},
               {1.0 / 3, "0.3333333333333333"},
               {-2.5e-300, "-2.5E-300"},
               {1.7976931348623157e308, "1.7976931348623157E+308"}};
  for (const auto &c : cases) {
    char text[io::kRealChars];
    const std::string written(text, io::FormatReal(text, c.value));
    EXPECT_EQ(written, c.text);
    EXPECT_EQ(std::strtod(written.c_str(), nullptr), c.value) << written;
  }
}

TEST(TextOutput, EveryFailureIsReportedWithItsReason)
{
  // A full device: the writes fail, not the opening.
  io::TextOutput full("/dev/full");
  for (int k = 0; k < 100000; ++k)
    full.PutReal(k / 7.0);
  EXPECT_EQ(full.Close("x.step").message, "cannot write x.step: No space left on device");
  io::TextOutput missing("/nonexistent/folder/file");
  missing.Put("text");
  EXPECT_EQ(missing.Close("y.iges").message, "cannot write y.iges: No such file or directory");

  // Large pieces, patches and offsets.
  TempFolder folder;
  const std::string path = folder.Write("t.txt", "");
  io::TextOutput out(path);
  out.Put("head ");
  const size_t mark = out.Offset();
  out.Put("....");
  const std::string big(5 << 20, 'x');
  out.Put(big);
  out.PutInt(-42);
  EXPECT_EQ(out.Offset(), 9 + big.size() + 3);
  out.Patch(mark, "KEEP");
  ASSERT_TRUE(out.Close(path).ok);
  EXPECT_EQ(TempFolder::Read(path), "head KEEP" + big + "-42");
}

TEST(OutputBatch, NothingIsReplacedUnlessEveryOutputIsWritten)
{
  TempFolder folder;
  const std::string surface = folder.Write("a.step", "old"), matrix = folder.Write("b.xyz", "old");
  ON_3dPointArray grid;
  for (int i = 0; i < 9; ++i)
    grid.Append(ON_3dPoint(i % 3, i / 3, 0.5 * i));
  for (bool matrixFails : {true, false}) {
    io::OutputBatch batch;
    ASSERT_TRUE(io::WriteSurface(surface, UnevenSurface()).ok);
    auto written = io::WritePointMatrix(matrixFails ? folder / "b.obj" : matrix, grid, 3, 3);
    EXPECT_EQ(written.ok, !matrixFails);
    if (!matrixFails) {
      ASSERT_TRUE(batch.Commit().ok);
    }
  }
  // The failed batch left the old files and no temporary; the second one
  // replaced both.
  EXPECT_EQ(folder.Entries(), (std::set<std::string>{"a.step", "b.xyz"}));
  EXPECT_EQ(TempFolder::Read(matrix).substr(0, 15), "# rows 3 cols 3");
  EXPECT_EQ(TempFolder::Read(surface).substr(0, 4), "ISO-");
}
