// Reading point clouds: known contents in every format, and the failures a
// user meets (named file and line, cloud left unchanged).
#include "io/PointCloudReader.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

using pelmora::io::ReadPointCloud;
using pelmora::io::ReadPointCloudFromMemory;
using pelmora::test::TempFolder;

namespace {

void ExpectPoints(const ON_3dPointArray &points, const std::vector<ON_3dPoint> &expected)
{
  ASSERT_EQ(points.Count(), int(expected.size()));
  for (int i = 0; i < points.Count(); ++i) {
    EXPECT_EQ(points[i].x, expected[i].x) << "point " << i;
    EXPECT_EQ(points[i].y, expected[i].y) << "point " << i;
    EXPECT_EQ(points[i].z, expected[i].z) << "point " << i;
  }
}

std::string Message(const std::string &text, const std::string &name)
{
  ON_3dPointArray points;
  auto result = ReadPointCloudFromMemory(text, name, points);
  EXPECT_FALSE(result.ok) << text;
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

} // namespace

TEST(TextPoints, AcceptsTheLayoutsProbesAndScannersWrite)
{
  // Header, comments of several styles, CRLF, a BOM, commas, semicolons,
  // tabs, extra columns, '+' signs and exponents.
  const std::string text = "\xEF\xBB\xBFX,Y,Z,nx,ny,nz\r\n"
                           "# comment\n"
                           "// another\n"
                           "\n"
                           "1,2,3,0,0,1\r\n"
                           "  -4.5;+5e-1;6\n"
                           "7\t8\t9 intensity 12\n"
                           "% matlab comment\n"
                           "0.1 0.2 0.3\n";
  ON_3dPointArray points;
  ASSERT_TRUE(ReadPointCloudFromMemory(text, "scan.csv", points).ok);
  ExpectPoints(points, {{1, 2, 3}, {-4.5, 0.5, 6}, {7, 8, 9}, {0.1, 0.2, 0.3}});

  // A point count before the points (the pts convention) is a header.
  ASSERT_TRUE(ReadPointCloudFromMemory("2\n1 1 1\n2 2 2\n", "a.pts", points).ok);
  EXPECT_EQ(points.Count(), 2);
}

TEST(TextPoints, BadLinesAreNamedByFileAndLine)
{
  EXPECT_EQ(Message("1 2 3\n4 5\n", "cloud.xyz"),
            "cloud.xyz:2: expected three coordinates x y z, found '4 5'");
  EXPECT_EQ(Message("# t\n1 2 3\n4 5 six\n", "c.txt"),
            "c.txt:3: expected three coordinates x y z, found '4 5 six'");
  // Headers only before the first point.
  EXPECT_EQ(Message("1 2 3\nx y z\n", "c.xyz"),
            "c.xyz:2: expected three coordinates x y z, found 'x y z'");
  EXPECT_EQ(Message("1 2 3\n1 nan 3\n", "c.xyz"), "c.xyz:2: non-finite coordinate in '1 nan 3'");
  EXPECT_EQ(Message("1 2 3x\n", "c.xyz"),
            "c.xyz:1: expected three coordinates x y z, found '1 2 3x'");
  EXPECT_EQ(Message("", "c.xyz"), "c.xyz: the file is empty");
  EXPECT_EQ(Message("# nothing\nx y z\n", "c.xyz"), "c.xyz: no points found");
  EXPECT_NE(Message("1 2 3\n", "c.dat").find("unknown point file type"), std::string::npos);
}

TEST(TextPoints, FailureLeavesTheCloudUnchanged)
{
  ON_3dPointArray points;
  points.Append(ON_3dPoint(9, 9, 9));
  EXPECT_FALSE(ReadPointCloudFromMemory("1 2 3\nbad\n", "c.xyz", points).ok);
  ExpectPoints(points, {{9, 9, 9}});
}

TEST(PlyPoints, BinaryInBothByteOrdersWithOtherPropertiesAndElements)
{
  for (bool big : {false, true}) {
    std::string ply = std::string("ply\nformat ") +
                      (big ? "binary_big_endian" : "binary_little_endian") +
                      " 1.0\ncomment made by a test\nelement camera 1\nproperty list uchar int "
                      "ids\nelement vertex 2\nproperty uchar red\nproperty double z\nproperty "
                      "float x\nproperty int y\nelement face 1\nproperty list uchar int "
                      "vertex_indices\nend_header\n";
    Put<uint8_t>(ply, 2); // camera: a list of two ints
    Put<int32_t>(ply, 7, big);
    Put<int32_t>(ply, 8, big);
    for (int v = 0; v < 2; ++v) {
      Put<uint8_t>(ply, 255);
      Put<double>(ply, 0.1 + v, big);
      Put<float>(ply, 1.5f * (v + 1), big);
      Put<int32_t>(ply, -3 * (v + 1), big);
    }
    Put<uint8_t>(ply, 3); // a face the reader must not need
    ON_3dPointArray points;
    auto result = ReadPointCloudFromMemory(ply, "p.ply", points);
    ASSERT_TRUE(result.ok) << result.message;
    ExpectPoints(points, {{1.5, -3, 0.1}, {3.0, -6, 1.1}});
  }
}

TEST(PlyPoints, AsciiAndMalformedFiles)
{
  const std::string header = "ply\nformat ascii 1.0\nelement vertex 2\nproperty float x\n"
                             "property float y\nproperty float z\nproperty uchar red\n"
                             "end_header\n";
  ON_3dPointArray points;
  ASSERT_TRUE(ReadPointCloudFromMemory(header + "1 2 3 255\n4 5 6 0\n", "a.ply", points).ok);
  ExpectPoints(points, {{1, 2, 3}, {4, 5, 6}});

  EXPECT_EQ(Message(header + "1 2 3 255\n", "a.ply"),
            "a.ply: truncated PLY file: the header announces 2 vertices, the file holds 1");
  EXPECT_EQ(Message(header + "1 2 3 255\n4 x 6 0\n", "a.ply"),
            "a.ply:10: expected a vertex's numbers in PLY body");
  EXPECT_EQ(Message("ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nend_header\n1\n",
                    "a.ply"),
            "a.ply: the PLY vertex element has no x, y and z properties");
  EXPECT_EQ(Message("ply\nformat ascii 1.0\nelement vertex 1\n", "a.ply"),
            "a.ply: PLY header has no 'end_header'");
  EXPECT_EQ(Message("solid x\n", "a.ply"),
            "a.ply:1: not a PLY file (it does not start with 'ply')");
}

TEST(PlyPoints, TruncatedBinaryBodyIsRefused)
{
  std::string ply = "ply\nformat binary_little_endian 1.0\nelement vertex 1000\n"
                    "property float x\nproperty float y\nproperty float z\nend_header\n";
  for (int i = 0; i < 999 * 3 + 2; ++i)
    Put<float>(ply, float(i));
  EXPECT_EQ(Message(ply, "t.ply"),
            "t.ply: truncated PLY file: the header announces 1000 vertices, the file holds 999");
}

TEST(MeshVertices, StlCornersAreCollectedOnceInOrder)
{
  // Two triangles sharing an edge: four distinct corners.
  const float corners[2][3][3] = {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
                                  {{1, 0, 0}, {1, 1, 0.5f}, {0, 1, 0}}};
  std::string binary(80, ' ');
  Put<uint32_t>(binary, 2);
  std::string ascii = "solid test\n";
  for (const auto &triangle : corners) {
    for (int k = 0; k < 3; ++k)
      Put<float>(binary, 0);
    ascii += " facet normal 0 0 1\n  outer loop\n";
    for (const auto &corner : triangle) {
      for (float c : corner)
        Put<float>(binary, c);
      ascii += "   vertex " + std::to_string(corner[0]) + " " + std::to_string(corner[1]) + " " +
               std::to_string(corner[2]) + "\n";
    }
    ascii += "  endloop\n endfacet\n";
    Put<uint16_t>(binary, 0);
  }
  ascii += "endsolid test\n";
  for (const std::string &file : {binary, ascii}) {
    ON_3dPointArray points;
    ASSERT_TRUE(ReadPointCloudFromMemory(file, "m.stl", points).ok);
    ExpectPoints(points, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0.5}});
  }
  EXPECT_EQ(Message("solid x\n facet\n  vertex 1 2\n", "m.stl"),
            "m.stl:3: expected three coordinates");
  // A binary file cut short is neither binary nor text STL.
  EXPECT_NE(Message(binary.substr(0, binary.size() - 10), "m.stl").find("not an STL file"),
            std::string::npos);
}

TEST(MeshVertices, ObjVertexLinesOnly)
{
  ON_3dPointArray points;
  ASSERT_TRUE(ReadPointCloudFromMemory("# obj\nv 1 2 3\nvn 0 0 1\nvt 0.5 0.5\nv 4 5 6 1.0\n"
                                       "f 1 2 1\n",
                                       "m.obj", points)
                  .ok);
  ExpectPoints(points, {{1, 2, 3}, {4, 5, 6}});
  EXPECT_EQ(Message("v 1 2 3\nv 1 2\n", "m.obj"), "m.obj:2: expected three coordinates");
}

TEST(FilePoints, LegacyVtkFilesAndMissingFiles)
{
  TempFolder folder;
  const std::string vtk = folder.Write("c.vtk", "# vtk DataFile Version 3.0\ncloud\nASCII\n"
                                                "DATASET POLYDATA\nPOINTS 2 double\n"
                                                "1 2 3 4 5 6.25\n");
  ON_3dPointArray points;
  auto result = ReadPointCloud(vtk, points);
  ASSERT_TRUE(result.ok) << result.message;
  ExpectPoints(points, {{1, 2, 3}, {4, 5, 6.25}});

  const std::string bad = folder.Write("bad.vtk", "this is not vtk\n");
  result = ReadPointCloud(bad, points);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message.rfind(bad + ": ", 0), 0u) << result.message;
  const std::string badXml = folder.Write("bad.vtp", "<VTKFile");
  EXPECT_FALSE(ReadPointCloud(badXml, points).ok);

  result = ReadPointCloud(folder / "missing.xyz", points);
  EXPECT_EQ(result.message,
            "cannot open " + folder / "missing.xyz" + ": No such file or directory");
  EXPECT_EQ(points.Count(), 2); // unchanged by the failures
}
