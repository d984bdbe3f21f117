// Reading point clouds: known contents in every format (also those brought
// from other tools, and under a name whose extension says nothing), and the
// failures a user meets (named file and line, cloud left unchanged).
#include "io/PointCloudReader.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>

using pelmora::io::ReadPointCloud;
using pelmora::io::ReadPointCloudFromMemory;
using pelmora::test::TempFolder;
using Points = std::vector<ON_3dPoint>;

void PrintTo(const ON_3dPoint &p, std::ostream *out)
{
  *out << p.x << "," << p.y << "," << p.z;
}

namespace {

Points Vector(const ON_3dPointArray &points)
{
  return {points.Array(), points.Array() + points.Count()};
}

Points Read(const std::string &text, const std::string &name, const std::string &format)
{
  ON_3dPointArray points;
  auto result = ReadPointCloudFromMemory(text, name, points, format);
  EXPECT_TRUE(result.ok) << name << ": " << result.message;
  return Vector(points);
}

// The message of a failed read, which must leave the cloud as it was.
std::string Failure(const std::string &text, const std::string &name)
{
  ON_3dPointArray points;
  points.Append(ON_3dPoint(9, 9, 9));
  auto result = ReadPointCloudFromMemory(text, name, points);
  EXPECT_FALSE(result.ok) << text;
  EXPECT_EQ(Vector(points), (Points{{9, 9, 9}})) << text;
  return result.message;
}

template <typename T> void Put(std::string &out, T value, bool bigEndian = false)
{
  char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  if (bigEndian)
    std::reverse(bytes, bytes + sizeof(T));
  out.append(bytes, sizeof(T));
}

// Binary PLY with a list element before the vertices, properties out of
// order and of mixed types, and a face element after them.
std::string BinaryPly(bool big)
{
  std::string ply = std::string("ply\nformat ") +
                    (big ? "binary_big_endian" : "binary_little_endian") +
                    " 1.0\ncomment made by a test\nelement camera 1\nproperty list uchar int ids\n"
                    "element vertex 2\nproperty uchar red\nproperty double z\nproperty float x\n"
                    "property int y\nelement face 1\nproperty list uchar int vertex_indices\n"
                    "end_header\n";
  Put<uint8_t>(ply, 2);
  Put<int32_t>(ply, 7, big);
  Put<int32_t>(ply, 8, big);
  for (int v = 0; v < 2; ++v) {
    Put<uint8_t>(ply, 255);
    Put<double>(ply, 0.1 + v, big);
    Put<float>(ply, 1.5f * (v + 1), big);
    Put<int32_t>(ply, -3 * (v + 1), big);
  }
  Put<uint8_t>(ply, 3);
  return ply;
}

// Two triangles sharing an edge, as binary STL.
std::string BinaryStl()
{
  const float corners[18] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0.5f, 0, 1, 0};
  std::string stl(80, ' ');
  Put<uint32_t>(stl, 2);
  for (int t = 0; t < 2; ++t) {
    stl.append(12, '\0');
    for (int k = 0; k < 9; ++k)
      Put<float>(stl, corners[9 * t + k]);
    stl.append(2, '\0');
  }
  return stl;
}

// Binary PCD with a leading int field, double y, float x and z, and a
// point marked missing with NaN.
std::string BinaryPcd(int declared)
{
  std::string pcd = "# .PCD v0.7\nVERSION 0.7\nFIELDS label y x z\nSIZE 2 8 4 4\n"
                    "TYPE U F F F\nCOUNT 1 1 1 1\nWIDTH 3\nHEIGHT 1\nVIEWPOINT 0 0 0 1 0 0 0\n"
                    "POINTS " +
                    std::to_string(declared) + "\nDATA binary\n";
  const float x[3] = {1.5f, NAN, -2}, z[3] = {3, 0, 0.25f};
  const double y[3] = {0.1, 0, 1e-9};
  for (int i = 0; i < 3; ++i) {
    Put<uint16_t>(pcd, 7);
    Put<double>(pcd, y[i]);
    Put<float>(pcd, x[i]);
    Put<float>(pcd, z[i]);
  }
  return pcd;
}

const std::string kAsciiPly =
    "ply\nformat ascii 1.0\nelement vertex 2\nproperty float x\n"
    "property float y\nproperty float z\nproperty uchar red\nend_header\n";

} // namespace

TEST(PointReader, EveryFormatGivesItsPointsInOrder)
{
  const std::string asciiStl =
      "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
      "vertex 0 1 0\nendloop\nendfacet\nfacet normal 0 0 1\nouter loop\n"
      "vertex 1 0 0\nvertex 1 1 0.5\nvertex 0 1 0\nendloop\nendfacet\nendsolid t\n";
  const Points stlCorners{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0.5}};
  const struct
  {
    std::string text, name;
    Points expected;
    std::string format = ""; // named by the caller, else by the extension
  } cases[] = {
      // Header, comments of several styles, CRLF, a BOM, commas, semicolons,
      // tabs, extra columns, '+' signs and exponents.
      {"\xEF\xBB\xBFX,Y,Z,nx,ny,nz\r\n# comment\n// another\n\n1,2,3,0,0,1\r\n"
       "  -4.5;+5e-1;6\n7\t8\t9 intensity 12\n% matlab comment\n0.1 0.2 0.3\n",
       "scan.csv",
       {{1, 2, 3}, {-4.5, 0.5, 6}, {7, 8, 9}, {0.1, 0.2, 0.3}}},
      {"2\n1 1 1\n2 2 2\n", "a.pts", {{1, 1, 1}, {2, 2, 2}}}, // a leading count is a header
      {kAsciiPly + "1 2 3 255\n4 5 6 0\n", "a.ply", {{1, 2, 3}, {4, 5, 6}}},
      {BinaryPly(false), "l.ply", {{1.5, -3, 0.1}, {3.0, -6, 1.1}}},
      {BinaryPly(true), "b.ply", {{1.5, -3, 0.1}, {3.0, -6, 1.1}}},
      {BinaryStl(), "b.stl", stlCorners}, // shared corners once, in order of first use
      {asciiStl, "a.stl", stlCorners},
      {"# obj\nv 1 2 3\nvn 0 0 1\nvt 0.5 0.5\nv 4 5 6 1.0\nf 1 2 1\n",
       "m.obj",
       {{1, 2, 3}, {4, 5, 6}}},
      {"OFF\n# made by hand\n3 1 0\n\n0 0 0\n1 0 0  # a comment\n0 1 2.5\n3 0 1 2\n",
       "m.off",
       {{0, 0, 0}, {1, 0, 0}, {0, 1, 2.5}}},
      {"COFF 2 0 0\n1 2 3 255 0 0 255\n4 5 6 0 255 0 255\n", "c.off", {{1, 2, 3}, {4, 5, 6}}},
      {"# .PCD v0.7\nVERSION 0.7\nFIELDS x y z rgb\nSIZE 4 4 4 4\nTYPE F F F U\nCOUNT 1 1 1 1\n"
       "WIDTH 3\nHEIGHT 1\nPOINTS 3\nDATA ascii\n1 2 3 4808000\nnan nan nan 0\n-1e-3 0 7 0\n",
       "a.pcd",
       {{1, 2, 3}, {-1e-3, 0, 7}}},
      {BinaryPcd(3), "b.pcd", {{1.5, 0.1, 3}, {-2, 1e-9, 0.25}}},
      {"0.5 1 2 0 0 1\n3 4 5 0 1 0\n", "n.pwn", {{0.5, 1, 2}, {3, 4, 5}}}, // normals ignored
      {"1 2 3\n", "export.dat", {{1, 2, 3}}, "XYZ"},
      {"OFF\n1 0 0\n9 8 7\n", "mesh.txt", {{9, 8, 7}}, "off"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Read(c.text, c.name, c.format), c.expected) << c.name;
}

TEST(PointReader, FailuresNameFileAndLineAndKeepTheCloud)
{
  std::string cutPly = "ply\nformat binary_little_endian 1.0\nelement vertex 1000\n"
                       "property float x\nproperty float y\nproperty float z\nend_header\n";
  cutPly.append((999 * 3 + 2) * sizeof(float), '\0');
  const std::string pcdHead = "FIELDS x y z\nSIZE 4 4 4\nTYPE F F F\nCOUNT 1 1 1\nWIDTH 2\n"
                              "HEIGHT 1\nPOINTS 2\n";
  const std::string xyz = "expected three coordinates x y z, found ";
  const std::pair<std::string, std::string> cases[] = {
      {"1 2 3\n4 5\n", "cloud.xyz:2: " + xyz + "'4 5'"},
      {"# t\n1 2 3\n4 5 six\n", "cloud.xyz:3: " + xyz + "'4 5 six'"},
      {"1 2 3\nx y z\n", "cloud.xyz:2: " + xyz + "'x y z'"}, // headers only before the points
      {"1 2 3\n1 nan 3\n", "cloud.xyz:2: non-finite coordinate in '1 nan 3'"},
      {"1 2 3x\n", "cloud.xyz:1: " + xyz + "'1 2 3x'"},
      {"", "cloud.xyz: the file is empty"},
      {"# nothing\nx y z\n", "cloud.xyz: no points found"},
      {kAsciiPly + "1 2 3 255\n", "a.ply: truncated PLY file: the header announces 2 vertices, "
                                  "the file holds 1"},
      {kAsciiPly + "1 2 3 255\n4 x 6 0\n", "a.ply:10: expected a vertex's numbers in PLY body"},
      {"ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nend_header\n1\n",
       "a.ply: the PLY vertex element has no x, y and z properties"},
      {"ply\nformat ascii 1.0\nelement vertex 1\n", "a.ply: PLY header has no 'end_header'"},
      {"solid x\n", "a.ply:1: not a PLY file (it does not start with 'ply')"},
      {cutPly, "t.ply: truncated PLY file: the header announces 1000 vertices, the file holds 999"},
      {"solid x\n facet\n  vertex 1 2\n", "m.stl:3: expected three coordinates"},
      {BinaryStl().substr(0, 120), "m.stl: not an STL file"},
      {"v 1 2 3\nv 1 2\n", "m.obj:2: expected three coordinates"},
      {"1 2 3\n", "c.dat: unknown point file type"},
      {"1;2,5;3\n", "q.dat: unknown point file type (readable: xyz"},
      {"OFF\n2 0 0\n1 2 3\n4 5\n", "m.off:4: expected three coordinates"},
      {"OFF\n3 0 0\n1 2 3\n# a comment long enough to pass the size check\n",
       "m.off: the file ends after 1 of its 3 vertices"},
      {"OFF\n99999999 0 0\n1 2 3\n", "m.off:2: the file is too short for its 99999999 vertices"},
      {"4OFF\n1 0 0\n1 2 3 4\n", "m.off:1: not an OFF file"},
      {"OFF BINARY\n", "m.off:1: binary OFF files are not supported"},
      {pcdHead + "DATA binary_compressed\n",
       "p.pcd:8: binary_compressed PCD files are not supported"},
      {pcdHead + "DATA ascii\n1 2 3\n4 5\n", "p.pcd:10: expected 3 numbers, found 2"},
      {pcdHead + "DATA ascii\n1 2 3\n4 5 6e\n", "p.pcd:10: expected a number, found '6e'"},
      {pcdHead + "DATA binary\n" + std::string(20, '\0'),
       "p.pcd: truncated PCD file: the header announces 2 points, the file holds 1"},
      {BinaryPcd(4), "p.pcd: truncated PCD file: the header announces 4 points, the file holds 3"},
      {"FIELDS x y\nSIZE 4 4\nTYPE F F\nCOUNT 1 1\nPOINTS 1\nDATA ascii\n1 2\n",
       "p.pcd:6: the PCD file has no x, y and z fields"},
      {"FIELDS x y z\nSIZE 4 4\n", "p.pcd:2: SIZE needs one value per field"},
  };
  for (const auto &[text, message] : cases) {
    const std::string name = message.substr(0, message.find(':'));
    EXPECT_EQ(Failure(text, name).substr(0, message.size()), message) << text.substr(0, 60);
  }
}

TEST(PointReader, FilesOnDisk)
{
  TempFolder folder;
  ON_3dPointArray points;
  const std::string vtk =
      folder.Write("c.vtk", "# vtk DataFile Version 3.0\ncloud\nASCII\n"
                            "DATASET POLYDATA\nPOINTS 2 double\n1 2 3 4 5 6.25\n");
  auto result = ReadPointCloud(vtk, points);
  ASSERT_TRUE(result.ok) << result.message;
  EXPECT_EQ(Vector(points), (Points{{1, 2, 3}, {4, 5, 6.25}}));

  const std::string bad = folder.Write("bad.vtk", "this is not vtk\n");
  EXPECT_EQ(ReadPointCloud(bad, points).message,
            bad + ":1: not a legacy VTK file (no '# vtk DataFile Version')");
  EXPECT_FALSE(ReadPointCloud(folder.Write("bad.vtp", "<VTKFile"), points).ok);
  EXPECT_EQ(ReadPointCloud(folder / "missing.xyz", points).message,
            "cannot open " + folder / "missing.xyz" + ": No such file or directory");
  EXPECT_EQ(points.Count(), 2);
}
