// Legacy VTK and XML poly-data files read through VTK: their points.
#include "io/ReadVtkPoints.h"
#include "io/VtkMessageCapture.h"

#include <vtkDataSet.h>
#include <vtkDataSetReader.h>
#include <vtkNew.h>
#include <vtkPolyData.h>
#include <vtkXMLPolyDataReader.h>

namespace pelmora::io {
namespace {

IoResult CopyPoints(vtkDataSet *data, const std::string &path, ON_3dPointArray &points)
{
  const vtkIdType count = data ? data->GetNumberOfPoints() : 0;
  if (count == 0)
    return IoResult::Fail(path + ": no points found");
  points.Reserve(size_t(points.Count()) + size_t(count));
  for (vtkIdType i = 0; i < count; ++i) {
    double p[3];
    data->GetPoint(i, p);
    points.Append(ON_3dPoint(p[0], p[1], p[2]));
  }
  return IoResult::Ok();
}

IoResult Failed(const std::string &path, const VtkMessageCapture &messages, const char *fallback)
{
  return IoResult::Fail(path + ": " + (messages.HasError() ? messages.LastError() : fallback));
}

} // namespace

IoResult ReadVtkPoints(const std::string &path, bool xml, ON_3dPointArray &points)
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
        return Failed(path, messages, "unreadable");
      return CopyPoints(reader->GetOutput(), path, points);
    }
    vtkNew<vtkDataSetReader> reader;
    reader->SetFileName(path.c_str());
    reader->Update();
    if (messages.HasError() || !reader->GetOutput())
      return Failed(path, messages, "not a VTK file");
    return CopyPoints(reader->GetOutput(), path, points);
  } catch (const std::exception &error) {
    return IoResult::Fail(path + ": " + error.what());
  }
}

} // namespace pelmora::io
