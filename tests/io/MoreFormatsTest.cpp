// The formats a user brings from other tools: OFF meshes, PCD clouds (ascii
// and binary), points with normals, and any of them under a name whose
// extension says nothing.
#include "io/PointCloudReader.h"
#include "io/ReadOutcome.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

using pelmora::io::ReadPointCloudFromMemory;
using pelmora::test::ReadOutcome;
using Points = std::vector<ON_3dPoint>;

namespace {

template <typename T> void Put(std::string &out, T value)
{
  char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  out.append(bytes, sizeof(T));
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

} // namespace

TEST(MoreFormats, OffPcdAndPwnGiveTheirPoints)
{
  const struct
  {
    std::string text, name, format;
    Points expected;
  } cases[] = {
      {"OFF\n# made by hand\n3 1 0\n\n0 0 0\n1 0 0  # a comment\n0 1 2.5\n3 0 1 2\n",
       "m.off",
       "",
       {{0, 0, 0}, {1, 0, 0}, {0, 1, 2.5}}},
      {"COFF 2 0 0\n1 2 3 255 0 0 255\n4 5 6 0 255 0 255\n", "c.off", "", {{1, 2, 3}, {4, 5, 6}}},
      {"# .PCD v0.7\nVERSION 0.7\nFIELDS x y z rgb\nSIZE 4 4 4 4\nTYPE F F F U\nCOUNT 1 1 1 1\n"
       "WIDTH 3\nHEIGHT 1\nPOINTS 3\nDATA ascii\n1 2 3 4808000\nnan nan nan 0\n-1e-3 0 7 0\n",
       "a.pcd",
       "",
       {{1, 2, 3}, {-1e-3, 0, 7}}},
      {BinaryPcd(3), "b.pcd", "", {{1.5, 0.1, 3}, {-2, 1e-9, 0.25}}},
      {"0.5 1 2 0 0 1\n3 4 5 0 1 0\n", "n.pwn", "", {{0.5, 1, 2}, {3, 4, 5}}},
      {"1 2 3\n", "export.dat", "XYZ", {{1, 2, 3}}},
      {"OFF\n1 0 0\n9 8 7\n", "mesh.txt", "off", {{9, 8, 7}}},
  };
  for (const auto &c : cases) {
    ON_3dPointArray points;
    auto result = ReadPointCloudFromMemory(c.text, c.name, points, c.format);
    ASSERT_TRUE(result.ok) << c.name << ": " << result.message;
    EXPECT_EQ(Points(points.Array(), points.Array() + points.Count()), c.expected) << c.name;
  }
}

TEST(MoreFormats, MalformedFilesNameFileAndLine)
{
  const std::string pcdHead = "FIELDS x y z\nSIZE 4 4 4\nTYPE F F F\nCOUNT 1 1 1\nWIDTH 2\n"
                              "HEIGHT 1\nPOINTS 2\n";
  const std::pair<std::string, std::string> cases[] = {
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
      {"1;2,5;3\n", "q.dat: unknown point file type (readable: xyz"},
  };
  for (const auto &[text, message] : cases) {
    const std::string name = message.substr(0, message.find(':'));
    EXPECT_EQ(ReadOutcome(text, name).substr(0, message.size()), message) << text.substr(0, 60);
  }
}
