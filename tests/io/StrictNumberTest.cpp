// Numbers in the text formats are read whole or refused: a prefix of a
// field, a doubled sign or a separator read as a decimal mark never yields
// a point.
#include "io/PointCloudReader.h"
#include "io/ReadOutcome.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

using pelmora::io::ReadPointCloudFromMemory;
using pelmora::test::ReadOutcome;

namespace {

const std::string kAsciiPly = "ply\nformat ascii 1.0\nelement vertex 2\nproperty float x\n"
                              "property float y\nproperty float z\nproperty uchar red\n"
                              "element face 1\nproperty list uchar int vertex_indices\n"
                              "end_header\n";

// Makes the numbers' locale one whose decimal mark is a comma: an installed
// one, or one built into `folder` with localedef; false when neither can be
// had. (setlocale, unlike newlocale, does not leak glibc's search path.)
bool UseCommaLocale(const pelmora::test::TempFolder &folder)
{
  for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
    if (setlocale(LC_NUMERIC, name))
      return true;
  const std::string build =
      "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8") + "' >/dev/null 2>&1";
  if (std::system(build.c_str()) != 0)
    return false;
  setenv("LOCPATH", folder.Path().c_str(), 1);
  const bool made = setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  unsetenv("LOCPATH");
  return made;
}

} // namespace

TEST(StrictNumbers, MalformedOrOutOfRangeFieldsFailOnTheirLine)
{
  const std::pair<std::string, std::string> cases[] = {
      // A number in any form is no column title: line 1 fails like line 2.
      {"1e400 0 0\n1 2 3\n", "c.xyz:1: number out of range in '1e400 0 0'"},
      {"1 2 3\n1e400 0 0\n", "c.xyz:2: number out of range"},
      {std::string(5000, '9') + " 0 0\n", "c.xyz:1: number out of range"},
      {"0x1p3 0 0\n", "c.xyz:1: expected three coordinates x y z, found '0x1p3 0 0'"},
      {"-inf 0 0\n", "c.xyz:1: non-finite coordinate"},
      {"+-1 2 3\n", "c.xyz:1: expected three coordinates"},
      // After the first point lines take a faster path: the same rules.
      {"1 2 3\n4 +-1 6\n", "c.xyz:2: expected three coordinates"},
      {"1 2 3\n4 5 0x1p3\n", "c.xyz:2: expected three coordinates"},
      {"1 2 3\n4 5 6e\n", "c.xyz:2: expected three coordinates"},
      {"1 2 3\n4 5 1e-400 7\n-inf 0 0\n", "c.xyz:3: non-finite coordinate"},
      {"1 2 --3\n", "c.xyz:1: expected three coordinates"},
      {"0.5,0 0,0 1,5\n", "c.xyz:1: expected three coordinates"}, // commas separate here
      {"1,5 2,5 3,5\n", "c.xyz:1: expected three coordinates"},
      {"1,,3\n", "c.xyz:1: expected three coordinates"},
      {"x;y;z\n1.000,5;2;3\n", "c.xyz:2: both '.' and ',' in '1.000,5'"},
      {"1;2\n", "c.xyz:1: expected three coordinates"},
      {kAsciiPly + "1-2 0 0\n", "a.ply:11: expected a vertex's numbers in PLY body"},
      {kAsciiPly + "1 2 3 0 junk\n", "a.ply:11: expected a vertex's numbers in PLY body"},
      {"ply\nformat ascii 1.0\nelement vertex 1e3\nproperty float x\nend_header\n",
       "a.ply:3: malformed element line"},
      {"ply\nformat ascii 1.0\nelement vertex -1\nproperty float x\nend_header\n",
       "a.ply:3: malformed element line"},
      {"solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n",
       "m.stl:5: the file ends inside a facet"},
      {"solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nendloop\nendfacet\n",
       "m.stl:7: a facet without three vertices"},
      {"solid t\nfacet\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\nendfacet\n",
       "m.stl:6: the file ends before 'endsolid'"},
      {"solid t\nfacet\nvertex 0 0 0 7\n", "m.stl:3: expected three coordinates"},
      {"v 1 2 3e\n", "m.obj:1: expected three coordinates"},
  };
  for (const auto &[text, message] : cases) {
    const std::string name = message.substr(0, message.find(':'));
    const std::string got = ReadOutcome(text, name);
    EXPECT_EQ(got.substr(0, message.size()), message) << text.substr(0, 80);
  }
}

TEST(StrictNumbers, DecimalCommasTinyNumbersAndTitles)
{
  const struct
  {
    std::string text;
    ON_3dPoint first;
    int count;
  } cases[] = {
      // Semicolons make commas decimal marks, field by field.
      {"X;Y;Z\n1,5;-2,25 ; 3\n0.5;2,5;1e-1\n", {1.5, -2.25, 3}, 2},
      {"1e-400 0 0\n", {0, 0, 0}, 1}, // below the double range: zero, not a title
      {"Easting,Northing,Height(m)\n1,2,3\n", {1, 2, 3}, 1},
      {"x y z\n\n\n# c\n+.5 -0 7\n", {0.5, 0, 7}, 1},
  };
  for (const auto &c : cases) {
    ON_3dPointArray points;
    auto result = ReadPointCloudFromMemory(c.text, "c.csv", points);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(points.Count(), c.count) << c.text;
    EXPECT_EQ(points[0], c.first) << c.text;
  }
}

// A host may run with a locale whose decimal mark is a comma (Qt sets the
// user's). Numbers below the double range read as zero there too, not as
// the digits before their point.
TEST(StrictNumbers, TinyNumbersReadAsZeroUnderADecimalCommaLocale)
{
  const pelmora::test::TempFolder folder;
  const std::string previous = setlocale(LC_NUMERIC, nullptr);
  if (!UseCommaLocale(folder))
    GTEST_SKIP() << "no locale with a decimal comma here";
  EXPECT_STREQ(nl_langinfo(RADIXCHAR), ",");
  const std::pair<std::string, ON_3dPoint> cases[] = {
      {"1.5e-400 2.5 3\n", {0, 2.5, 3}},
      {"x;y;z\n-2,5e-400;1,5;3\n", {0, 1.5, 3}},
  };
  for (const auto &[text, first] : cases) {
    ON_3dPointArray points;
    const auto result = ReadPointCloudFromMemory(text, "c.xyz", points);
    EXPECT_TRUE(result.ok && points.Count() == 1 && points[0] == first)
        << text << (result.ok ? "" : result.message);
  }
  setlocale(LC_NUMERIC, previous.c_str());
}
