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

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
      ASSERT_TRUE(io::ReadPointCloud(folder / name, read).ok) << name;
      const auto back = Sorted({read.Array(), read.Array() + read.Count()});
      ASSERT_EQ(back.size(), 4u) << name;
      EXPECT_EQ(back, keepsDoubles ? doubles : floats) << name;
    }
  EXPECT_FALSE(io::WritePointMatrix(folder / "grid.obj", matrix, 4, 5).ok);
  EXPECT_FALSE(io::WriteMesh(folder / "empty.stl", ON_Mesh()).ok);
  EXPECT_EQ(folder.Entries().size(), 7u);
}

TEST(SurfaceWriter, StepAndIgesKeepDegreesKnotsAndPoles)
{
  const ON_NurbsSurface surface = UnevenSurface();
  ASSERT_TRUE(surface.IsValid());
  TempFolder folder;
  // STEP keeps about 13 significant digits, IGES about 10 here.
  for (auto [name, tolerance] : {std::pair{"s.step", 1e-9}, std::pair{"s.igs", 1e-8}}) {
    auto written = io::WriteSurface(folder / name, surface);
    ASSERT_TRUE(written.ok) << written.message;
    EXPECT_EQ(test::CompareSurfaces(surface, test::ReadBackBSpline(folder / name), tolerance), "")
        << name;
  }
  const std::string target = folder.Write("old.step", "precious");
  EXPECT_EQ(io::WriteSurface(target, ON_NurbsSurface()).message,
            "cannot write " + target + ": the surface is not valid");
  EXPECT_EQ(TempFolder::Read(target), "precious");
  EXPECT_FALSE(io::WriteSurface(folder / "s.dxf", surface).ok);
  EXPECT_EQ(folder.Entries(), (std::set<std::string>{"old.step", "s.igs", "s.step"}));
}
