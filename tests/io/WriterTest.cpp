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

#include <cmath>

using namespace pelmora;
using pelmora::test::TempFolder;

namespace {

ON_3dPointArray SampleMatrix(int rows, int cols)
{
  ON_3dPointArray matrix;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      matrix.Append(ON_3dPoint(c / 3.0, r * 0.1 - 7, std::sin(c) * std::exp(r * 0.3) * 1e-7));
  return matrix;
}

// A degree 2 x 3 surface with uneven interior knots, so that the end-knot
// completion and the multiplicities matter.
ON_NurbsSurface UnevenSurface()
{
  ON_NurbsSurface surface(3, false, 3, 4, 5, 6);
  const double knots0[] = {0, 0, 0.3, 0.35, 1, 1};
  const double knots1[] = {-2, -2, -2, 0.5, 0.5, 3, 3, 3};
  for (int k = 0; k < surface.KnotCount(0); ++k)
    surface.SetKnot(0, k, knots0[k]);
  for (int k = 0; k < surface.KnotCount(1); ++k)
    surface.SetKnot(1, k, knots1[k]);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 6; ++j)
      surface.SetCV(i, j, ON_3dPoint(100.0 * i / 3, 50.0 * j / 7, 10 * std::sin(i + 2.0 * j) / 3));
  return surface;
}

} // namespace

TEST(AtomicWrite, FailureLeavesTheTargetAndNoTemporaryFile)
{
  TempFolder folder;
  const std::string target = folder.Write("out.step", "precious");
  auto result = io::WriteAtomically(target, [](const std::string &temp) {
    TempFolder::Read(temp); // the temporary file exists and is ours
    std::ofstream(temp) << "half";
    return io::IoResult::Fail("writer broke");
  });
  EXPECT_EQ(result.message, "writer broke");
  EXPECT_EQ(TempFolder::Read(target), "precious");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"out.step"});

  // A writer that throws, or writes nothing, fails the same way.
  result = io::WriteAtomically(
      target, [](const std::string &) -> io::IoResult { throw std::runtime_error("boom"); });
  EXPECT_EQ(result.message, "cannot write " + target + ": boom");
  result = io::WriteAtomically(target, [](const std::string &) { return io::IoResult::Ok(); });
  EXPECT_EQ(result.message, "cannot write " + target + ": nothing was written");
  EXPECT_EQ(TempFolder::Read(target), "precious");
  EXPECT_EQ(folder.Entries().size(), 1u);
}

TEST(AtomicWrite, UnwritablePlacesAreRefusedBeforeWriting)
{
  TempFolder folder;
  folder.Write("file", "x");
  bool called = false;
  auto write = [&](const std::string &) {
    called = true;
    return io::IoResult::Ok();
  };
  EXPECT_EQ(io::WriteAtomically(folder / "no/such/out.stl", write).message,
            "cannot write " + folder / "no/such/out.stl" + ": No such file or directory");
  EXPECT_EQ(io::WriteAtomically(folder / "file/out.stl", write).message,
            "cannot write " + folder / "file/out.stl" + ": " + folder / "file" +
                " is not a folder");
  EXPECT_EQ(io::WriteAtomically(folder.Path(), write).message,
            "cannot write " + folder.Path() + ": it is a folder");
  EXPECT_FALSE(called);
}

TEST(PointMatrixWriter, EveryFormatReadsBackExactly)
{
  TempFolder folder;
  const ON_3dPointArray matrix = SampleMatrix(4, 5);
  for (const char *name : {"grid.xyz", "grid.csv", "grid.ply"}) {
    const std::string path = folder / name;
    ASSERT_TRUE(io::WritePointMatrix(path, matrix, 4, 5).ok) << name;
    ON_3dPointArray back;
    auto read = io::ReadPointCloud(path, back);
    ASSERT_TRUE(read.ok) << read.message;
    ASSERT_EQ(back.Count(), 20) << name;
    for (int i = 0; i < 20; ++i)
      EXPECT_TRUE(back[i] == matrix[i]) << name << " point " << i;
  }
  EXPECT_EQ(TempFolder::Read(folder / "grid.xyz").substr(0, 19), "# rows 4 cols 5\n0 -");
  EXPECT_FALSE(io::WritePointMatrix(folder / "grid.obj", matrix, 4, 5).ok);
}

TEST(MeshWriter, EveryFormatKeepsTheFloatVertices)
{
  // A unit tetrahedron with one face split into a quad's worth of vertices.
  ON_Mesh mesh;
  const ON_3dPoint corners[] = {{0, 0, 0}, {1.0 / 3, 0, 0}, {0, 0.1, 0}, {0, 0, 7.7}};
  for (int v = 0; v < 4; ++v)
    mesh.SetVertex(v, corners[v]);
  mesh.SetTriangle(0, 0, 2, 1);
  mesh.SetTriangle(1, 0, 1, 3);
  mesh.SetTriangle(2, 1, 2, 3);
  mesh.SetTriangle(3, 2, 0, 3);
  TempFolder folder;
  for (const char *name : {"m.stl", "m.ply", "m.obj", "m.vtp"}) {
    const std::string path = folder / name;
    auto written = io::WriteMesh(path, mesh);
    ASSERT_TRUE(written.ok) << written.message;
    ON_3dPointArray back;
    auto read = io::ReadPointCloud(path, back);
    ASSERT_TRUE(read.ok) << read.message;
    ASSERT_EQ(back.Count(), 4) << name;
    // OBJ is text with VTK's default digits; the binary formats are exact.
    // STL lists corners in the order the triangles meet them.
    const double tolerance = std::string(name) == "m.obj" ? 1e-6 : 0;
    for (int v = 0; v < 4; ++v) {
      const ON_3fPoint &expected = mesh.m_V[v];
      int found = 0;
      for (int b = 0; b < 4; ++b)
        found += std::fabs(back[b].x - expected.x) <= tolerance &&
                 std::fabs(back[b].y - expected.y) <= tolerance &&
                 std::fabs(back[b].z - expected.z) <= tolerance;
      EXPECT_EQ(found, 1) << name << " vertex " << v;
    }
  }
  EXPECT_FALSE(io::WriteMesh(folder / "empty.stl", ON_Mesh()).ok);
  EXPECT_EQ(folder.Entries().size(), 4u);
}

TEST(SurfaceWriter, StepAndIgesKeepDegreesKnotsAndPoles)
{
  const ON_NurbsSurface surface = UnevenSurface();
  ASSERT_TRUE(surface.IsValid());
  TempFolder folder;
  // STEP keeps about 13 significant digits, IGES about 10 here (see report).
  for (auto [name, tolerance] : {std::pair{"s.step", 1e-9}, std::pair{"s.igs", 1e-8}}) {
    const std::string path = folder / name;
    auto written = io::WriteSurface(path, surface);
    ASSERT_TRUE(written.ok) << written.message;
    EXPECT_EQ(test::CompareSurfaces(surface, test::ReadBackBSpline(path), tolerance), "") << name;
  }
}

TEST(SurfaceWriter, InvalidSurfaceWritesNothing)
{
  TempFolder folder;
  const std::string target = folder.Write("s.step", "precious");
  auto result = io::WriteSurface(target, ON_NurbsSurface());
  EXPECT_EQ(result.message, "cannot write " + target + ": the surface is not valid");
  EXPECT_EQ(TempFolder::Read(target), "precious");
  EXPECT_FALSE(io::WriteSurface(folder / "s.dxf", UnevenSurface()).ok);
  EXPECT_EQ(folder.Entries().size(), 1u);
}
