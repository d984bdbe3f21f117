// VTK files read by the tool's own parsers: what VTK's writers produce in
// every layout reads back exactly, and cut or lying files fail with a
// message before anything large is allocated.
#include "io/PointCloudReader.h"
#include "io/ReadOutcome.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <vtkDoubleArray.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkPolyDataWriter.h>
#include <vtkXMLPolyDataWriter.h>

using pelmora::io::ReadPointCloud;
using pelmora::io::ReadPointCloudFromMemory;
using pelmora::test::ReadOutcome;
using pelmora::test::TempFolder;

namespace {

vtkNew<vtkPolyData> Cloud(int count)
{
  vtkNew<vtkPoints> points;
  points->SetDataTypeToDouble();
  for (int i = 0; i < count; ++i)
    points->InsertNextPoint(i / 3.0, -1e-7 * i, 1e5 + double(i) * i);
  vtkNew<vtkPolyData> data;
  data->SetPoints(points);
  return data;
}

// Reads the file at `path` back and compares it with `cloud`: every 997th
// point and the last, each within `tolerance`.
void ExpectReadsBack(const std::string &path, vtkPolyData *cloud, double tolerance)
{
  ON_3dPointArray points;
  auto result = ReadPointCloud(path, points);
  ASSERT_TRUE(result.ok) << result.message;
  ASSERT_EQ(points.Count(), cloud->GetNumberOfPoints()) << path;
  auto expectNear = [&](int i) {
    EXPECT_LE(points[i].DistanceTo(ON_3dPoint(cloud->GetPoint(i))), tolerance)
        << path << " point " << i;
  };
  for (int i = 0; i < points.Count(); i += 997)
    expectNear(i);
  expectNear(points.Count() - 1);
}

const char *const kLegacy = "# vtk DataFile Version 3.0\ncloud\nASCII\nDATASET ";

} // namespace

TEST(VtkReaders, EveryLayoutVtkWritesReadsBackExactly)
{
  TempFolder folder;
  auto cloud = Cloud(70000); // more than one 32 KiB compression block
  struct Layout
  {
    int mode;
    bool compress, base64, wide;
  };
  int written = 0;
  for (Layout layout : {Layout{vtkXMLWriter::Ascii, false, false, false},
                        Layout{vtkXMLWriter::Binary, false, true, false},
                        Layout{vtkXMLWriter::Binary, true, true, true},
                        Layout{vtkXMLWriter::Appended, true, false, false},
                        Layout{vtkXMLWriter::Appended, false, false, true},
                        Layout{vtkXMLWriter::Appended, true, true, false}}) {
    vtkNew<vtkXMLPolyDataWriter> writer;
    writer->SetInputData(cloud);
    writer->SetDataMode(layout.mode);
    writer->SetEncodeAppendedData(layout.base64);
    writer->SetHeaderTypeToUInt32();
    if (layout.wide)
      writer->SetHeaderTypeToUInt64();
    if (!layout.compress)
      writer->SetCompressorTypeToNone();
    const std::string path = folder / ("c" + std::to_string(written++) + ".vtp");
    writer->SetFileName(path.c_str());
    ASSERT_TRUE(writer->Write());
    ExpectReadsBack(path, cloud, 0);
  }
  for (bool binary : {false, true}) {
    vtkNew<vtkPolyDataWriter> writer;
    writer->SetInputData(cloud);
    binary ? writer->SetFileTypeToBinary() : writer->SetFileTypeToASCII();
    const std::string path = folder / (binary ? "b.vtk" : "a.vtk");
    writer->SetFileName(path.c_str());
    ASSERT_TRUE(writer->Write());
    // ASCII keeps what VTK prints; binary is exact.
    ExpectReadsBack(path, cloud, binary ? 0 : 1e-3);
  }
}

TEST(VtkReaders, GridsBecomeTheirPoints)
{
  const std::pair<std::string, std::vector<ON_3dPoint>> cases[] = {
      {std::string(kLegacy) + "STRUCTURED_POINTS\nDIMENSIONS 2 1 2\nORIGIN 1 2 3\nSPACING 1 1 "
                              "0.5\nPOINT_DATA 4\n",
       {{1, 2, 3}, {2, 2, 3}, {1, 2, 3.5}, {2, 2, 3.5}}},
      {std::string(kLegacy) + "RECTILINEAR_GRID\nDIMENSIONS 2 1 1\nX_COORDINATES 2 float\n0 5\n"
                              "Y_COORDINATES 1 float\n7\nZ_COORDINATES 1 float\n-1\n",
       {{0, 7, -1}, {5, 7, -1}}},
      {std::string(kLegacy) + "UNSTRUCTURED_GRID\nFIELD FieldData 1\nTime 1 1 double\n4.5\n"
                              "POINTS 1 int\n1 2 3\nCELLS 99999999999 9\n",
       {{1, 2, 3}}},
  };
  for (const auto &[text, expected] : cases) {
    ON_3dPointArray points;
    auto result = ReadPointCloudFromMemory(text, "g.vtk", points);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(std::vector<ON_3dPoint>(points.Array(), points.Array() + points.Count()), expected);
  }
}

TEST(VtkReaders, CutOrLyingFilesFailBeforeAllocating)
{
  const std::string polydata = std::string(kLegacy) + "POLYDATA\n";
  const std::string vtp = "<VTKFile type=\"PolyData\" version=\"1.0\" header_type=\"UInt32\"";
  const std::string piece = "><PolyData><Piece NumberOfPoints=\"2\"><Points><DataArray "
                            "type=\"Float32\" NumberOfComponents=\"3\" format=";
  const std::pair<std::string, std::string> cases[] = {
      // Cut inside VERTICES: only the points are read, and they are whole.
      {polydata + "POINTS 2 float\n0 0 0 1 1 1\nVERTICES 2 4\n1 0\n1", "read 2 points"},
      {polydata + "POINTS 4 float\n0 0 0 1 1 1\n", "g.vtk:5: the file ends before its 12"},
      {polydata + "POINTS 2 float\n0 0 0 1 1 x\n", "g.vtk:6: expected a number, found 'x'"},
      {polydata + "POINTS 99999999 double\n0 0 0\n", "g.vtk:5: the file ends before its"},
      {"# vtk DataFile Version 3.0\nc\nBINARY\nDATASET POLYDATA\nPOINTS 9 float\n" +
           std::string(100, '\0'),
       "g.vtk:5: the file ends before its 27 values"},
      {std::string(kLegacy) + "STRUCTURED_POINTS\nDIMENSIONS 100000 100000 100000\n",
       "g.vtk:5: DIMENSIONS declare more grid points than the file can describe"},
      {std::string(kLegacy) + "POLYDATA\nPOINTS 1 string\na b c\n",
       "g.vtk:5: unsupported data type 'string'"},
      {"# vtk DataFile Version 3.0\n", "g.vtk:3: expected ASCII or BINARY"},
      // XML: short base64, negative or past-the-end offsets, lying block sizes.
      {vtp + piece + "\"binary\">GAAAAA==AACAPw</DataArray></Points></Piece>",
       "g.vtp: the Points array holds fewer than the 24 values"},
      {vtp + piece +
           "\"appended\" offset=\"-8\"/></Points></Piece></PolyData>"
           "<AppendedData encoding=\"raw\">_\x18\0\0\0",
       "g.vtp: the Points array has a bad offset ('-8')"},
      {vtp + " compressor=\"vtkZLibDataCompressor\"" + piece +
           "\"binary\">AQAAAP///38AAAAAAQAAAA==eJwDAAAAAAE=</DataArray></Points></Piece>",
       "g.vtp: the compressed Points array declares more than its blocks can hold"},
      // A compressed block that declares no bytes at all.
      {vtp + " compressor=\"vtkZLibDataCompressor\"" + piece +
           "\"appended\" offset=\"0\"/></Points></Piece></PolyData><AppendedData "
           "encoding=\"raw\">_" +
           std::string("\x01\0\0\0\x18\0\0\0\x18\0\0\0\0\0\0\0", 16),
       "g.vtp: the compressed Points array is corrupt"},
      {vtp + " compressor=\"vtkLZ4DataCompressor\"" + piece + "\"binary\">",
       "g.vtp: compressed with vtkLZ4DataCompressor, which this reader does not support"},
      {vtp + piece + "\"ascii\">0 0 0 1 1</DataArray>",
       "g.vtp: the Points array holds fewer than the 6 values"},
      {"<VTKFile type=\"UnstructuredGrid\">", "g.vtp: not a poly-data file"},
  };
  for (const auto &[text, message] : cases) {
    const std::string name = text[0] == '<' ? "g.vtp" : "g.vtk";
    const std::string got = ReadOutcome(text, name);
    EXPECT_EQ(got.substr(0, message.size()), message) << text.substr(0, 120);
  }
}
