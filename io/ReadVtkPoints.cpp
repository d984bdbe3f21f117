// Legacy VTK and XML poly-data files read through VTK: their points.
#include "io/ReadVtkPoints.h"
#include "io/VtkMessageCapture.h"

#include <vtkDataSet.h>
#include <vtkDataSetReader.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkXMLPolyDataReader.h>

#include <cmath>

namespace pelmora::io {
namespace {

IoResult CopyPoints(vtkPoints *source, const std::string &path, std::vector<double> &xyz)
{
  vtkIdType count = source ? source->GetNumberOfPoints() : 0;
  if (count == 0)
    return IoResult::Fail(path + ": no points found");
  xyz.reserve(xyz.size() + 3 * size_t(count));
  for (vtkIdType i = 0; i < count; ++i) {
    double p[3];
    source->GetPoint(i, p);
    xyz.insert(xyz.end(), p, p + 3);
  }
  return IoResult::Ok();
}

} // namespace

IoResult ReadVtkPoints(const std::string &path, bool xml, std::vector<double> &xyz)
{
  try {
    VtkMessageCapture messages;
    if (xml) {
      vtkNew<vtkXMLPolyDataReader> reader;
      if (!reader->CanReadFile(path.c_str()))
        return IoResult::Fail(path + ": not a VTK XML poly-data file");
      reader->SetFileName(path.c_str());
      reader->Update();
      if (messages.HasError() || reader->GetErrorCode() != 0)
        return IoResult::Fail(
            path + ": " + (messages.HasError() ? messages.LastError() : std::string("unreadable")));
      return CopyPoints(reader->GetOutput()->GetPoints(), path, xyz);
    }
    vtkNew<vtkDataSetReader> reader;
    reader->SetFileName(path.c_str());
    reader->Update();
    vtkDataSet *data = reader->GetOutput();
    if (messages.HasError() || !data)
      return IoResult::Fail(
          path + ": " +
          (messages.HasError() ? messages.LastError() : std::string("not a VTK file")));
    std::vector<double> read;
    for (vtkIdType i = 0, n = data->GetNumberOfPoints(); i < n; ++i) {
      double p[3];
      data->GetPoint(i, p);
      read.insert(read.end(), p, p + 3);
    }
    if (read.empty())
      return IoResult::Fail(path + ": no points found");
    xyz.insert(xyz.end(), read.begin(), read.end());
    return IoResult::Ok();
  } catch (const std::exception &error) {
    return IoResult::Fail(path + ": " + error.what());
  }
}

} // namespace pelmora::io
