#include "cli/Preview.h"
#include "cli/Arguments.h"
#include "io/AtomicWrite.h"
#include "io/MeshWriter.h"
#include "io/VtkMessageCapture.h"

#include <X11/Xlib.h>
#include <vtkActor.h>
#include <vtkCamera.h>
#include <vtkCellArray.h>
#include <vtkNew.h>
#include <vtkPNGWriter.h>
#include <vtkUnsignedCharArray.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkPolyDataMapper.h>
#include <vtkPolyDataNormals.h>
#include <vtkProperty.h>
#include <vtkRenderWindow.h>
#include <vtkRenderer.h>
#include <vtkSmartPointer.h>
#include <vtkWindowToImageFilter.h>

#include <cmath>
#include <cstdlib>

namespace pelmora::cli {
namespace {

const int kSurfaceSamples = 120; // per direction

vtkSmartPointer<vtkPolyData> SampleSurface(const ON_NurbsSurface &surface)
{
  const ON_Interval u = surface.Domain(0), v = surface.Domain(1);
  const int n = kSurfaceSamples;
  vtkNew<vtkPoints> points;
  vtkNew<vtkCellArray> quads;
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i) {
      ON_3dPoint p = surface.PointAt(u[0] + (u[1] - u[0]) * i / n, v[0] + (v[1] - v[0]) * j / n);
      points->InsertNextPoint(p.x, p.y, p.z);
      if (i < n && j < n) {
        vtkIdType a = j * (n + 1) + i;
        vtkIdType ids[4] = {a, a + 1, a + n + 2, a + n + 1};
        quads->InsertNextCell(4, ids);
      }
    }
  auto data = vtkSmartPointer<vtkPolyData>::New();
  data->SetPoints(points);
  data->SetPolys(quads);
  return data;
}

vtkSmartPointer<vtkPolyData> CloudPoints(const ON_3dPointArray &cloud)
{
  vtkNew<vtkPoints> points;
  vtkNew<vtkCellArray> vertices;
  for (int i = 0; i < cloud.Count(); ++i) {
    vtkIdType id = points->InsertNextPoint(cloud[i].x, cloud[i].y, cloud[i].z);
    vertices->InsertNextCell(1, &id);
  }
  auto data = vtkSmartPointer<vtkPolyData>::New();
  data->SetPoints(points);
  data->SetVerts(vertices);
  return data;
}

// A line with a two-stroke head, before the shape, pointing along `d`; the
// head opens across the picture (`across` is perpendicular to the view).
vtkSmartPointer<vtkPolyData> DirectionArrow(const double center[3], double size, const double d[3],
                                            const double across[3])
{
  double tail[3], tip[3], headA[3], headB[3];
  for (int k = 0; k < 3; ++k) {
    tail[k] = center[k] - d[k] * size * 0.8;
    tip[k] = center[k] - d[k] * size * 0.5;
    headA[k] = tip[k] - d[k] * size * 0.06 + across[k] * size * 0.04;
    headB[k] = tip[k] - d[k] * size * 0.06 - across[k] * size * 0.04;
  }
  vtkNew<vtkPoints> points;
  for (const double *p : {tail, tip, headA, headB})
    points->InsertNextPoint(p);
  vtkNew<vtkCellArray> lines;
  vtkIdType shaft[2] = {0, 1}, left[2] = {1, 2}, right[2] = {1, 3};
  lines->InsertNextCell(2, shaft);
  lines->InsertNextCell(2, left);
  lines->InsertNextCell(2, right);
  auto data = vtkSmartPointer<vtkPolyData>::New();
  data->SetPoints(points);
  data->SetLines(lines);
  return data;
}

vtkSmartPointer<vtkActor> ActorOf(vtkPolyData *data, bool shaded, const double colour[3])
{
  vtkNew<vtkPolyDataMapper> mapper;
  if (shaded) {
    vtkNew<vtkPolyDataNormals> normals;
    normals->SetInputData(data);
    normals->SplittingOff();
    normals->Update();
    mapper->SetInputData(normals->GetOutput());
  } else {
    mapper->SetInputData(data);
  }
  auto actor = vtkSmartPointer<vtkActor>::New();
  actor->SetMapper(mapper);
  actor->GetProperty()->SetColor(colour[0], colour[1], colour[2]);
  return actor;
}

void Normalize(double v[3])
{
  double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  for (int k = 0; k < 3; ++k)
    v[k] /= length;
}

// Camera tilted 50 degrees away from looking along the drape direction, with
// the direction pointing down the picture.
void PlaceCamera(vtkRenderer *renderer, const double center[3], double size, const double d[3],
                 double side[3])
{
  side[0] = std::fabs(d[0]) < 0.9 ? 1 : 0;
  side[1] = side[0] ? 0 : 1;
  side[2] = 0;
  double along = side[0] * d[0] + side[1] * d[1] + side[2] * d[2];
  for (int k = 0; k < 3; ++k)
    side[k] -= along * d[k];
  Normalize(side);
  const double tilt = 50.0 * M_PI / 180.0;
  double view[3], position[3], up[3];
  for (int k = 0; k < 3; ++k)
    view[k] = d[k] * std::cos(tilt) + side[k] * std::sin(tilt);
  for (int k = 0; k < 3; ++k)
    position[k] = center[k] - view[k] * size * 2.2;
  double dv = d[0] * view[0] + d[1] * view[1] + d[2] * view[2];
  for (int k = 0; k < 3; ++k)
    up[k] = -(d[k] - dv * view[k]);
  vtkCamera *camera = renderer->GetActiveCamera();
  camera->SetFocalPoint(center[0], center[1], center[2]);
  camera->SetPosition(position);
  camera->SetViewUp(up);
  renderer->ResetCameraClippingRange();
}

} // namespace

bool PreviewAvailable(std::string &reason)
{
  const char *display = std::getenv("DISPLAY");
  if (!display || !*display) {
    reason = "no display available (DISPLAY is not set); run under xvfb-run";
    return false;
  }
  Display *connection = XOpenDisplay(nullptr);
  if (!connection) {
    reason = std::string("cannot connect to display ") + display + "; run under xvfb-run";
    return false;
  }
  XCloseDisplay(connection);
  return true;
}

io::IoResult RenderPreview(const std::string &path, const PreviewScene &scene)
{
  std::string reason;
  if (!PreviewAvailable(reason))
    return io::IoResult::Fail("cannot render " + path + ": " + reason);
  try {
    io::VtkMessageCapture messages;
    ON_BoundingBox box = scene.points->BoundingBox();
    double center[3], d[3] = {scene.direction.x, scene.direction.y, scene.direction.z}, side[3];
    for (int k = 0; k < 3; ++k)
      center[k] = 0.5 * (box.m_min[k] + box.m_max[k]);
    const double size = (box.m_max - box.m_min).Length();
    Normalize(d);

    vtkNew<vtkRenderer> renderer;
    renderer->SetBackground(1, 1, 1);
    const double grey[3] = {0.75, 0.78, 0.82}, dark[3] = {0.1, 0.1, 0.35}, red[3] = {0.8, 0.1, 0.1};
    vtkSmartPointer<vtkPolyData> shape;
    if (scene.surface)
      shape = SampleSurface(*scene.surface);
    else if (scene.mesh)
      shape.TakeReference(io::MeshToPolyData(*scene.mesh, true));
    if (shape)
      renderer->AddActor(ActorOf(shape, true, grey));
    auto cloud = ActorOf(CloudPoints(*scene.points), false, dark);
    cloud->GetProperty()->SetPointSize(2);
    renderer->AddActor(cloud);
    PlaceCamera(renderer, center, size > 0 ? size : 1, d, side);
    const double across[3] = {d[1] * side[2] - d[2] * side[1], d[2] * side[0] - d[0] * side[2],
                              d[0] * side[1] - d[1] * side[0]};
    auto arrow = ActorOf(DirectionArrow(center, size > 0 ? size : 1, d, across), false, red);
    arrow->GetProperty()->SetLineWidth(3);
    renderer->AddActor(arrow);
    renderer->ResetCameraClippingRange();

    vtkNew<vtkRenderWindow> window;
    window->SetOffScreenRendering(1);
    window->SetSize(1024, 768);
    window->AddRenderer(renderer);
    window->Render();
    vtkNew<vtkWindowToImageFilter> image;
    image->SetInput(window);
    image->ReadFrontBufferOff();
    image->Update();
    // Encoded in memory, then written and checked here: VTK's file
    // writers do not report every failed write.
    vtkNew<vtkPNGWriter> writer;
    writer->SetInputConnection(image->GetOutputPort());
    writer->WriteToMemoryOn();
    writer->Write();
    vtkUnsignedCharArray *png = writer->GetResult();
    if (messages.HasError() || writer->GetErrorCode() != 0 || !png)
      return io::IoResult::Fail("cannot write " + path + ": " + messages.LastError());
    const std::string_view bytes(reinterpret_cast<const char *>(png->GetPointer(0)),
                                 size_t(png->GetNumberOfValues()));
    return io::WriteAtomically(path, [&](const std::string &tempPath) {
      return io::WriteWholeFile(tempPath, bytes, path);
    });
  } catch (const std::exception &error) {
    return io::IoResult::Fail("cannot render " + path + ": " + error.what());
  }
}

void RequirePreviewDisplay(const std::string &path)
{
  std::string reason;
  if (!path.empty() && !PreviewAvailable(reason))
    throw UsageError("--preview: " + reason);
}

} // namespace pelmora::cli
