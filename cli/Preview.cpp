#include "cli/Preview.h"
#include "cli/Arguments.h"
#include "cli/PreviewShapes.h"
#include "io/AtomicWrite.h"
#include "framework/XDisplay.h"
#include "io/VtkMessageCapture.h"

#include <X11/Xlib.h>
#include <vtkActor.h>
#include <vtkActor2D.h>
#include <vtkCamera.h>
#include <vtkNew.h>
#include <vtkPNGWriter.h>
#include <vtkPolyDataMapper.h>
#include <vtkPolyDataNormals.h>
#include <vtkProperty.h>
#include <vtkRenderWindow.h>
#include <vtkRenderer.h>
#include <vtkScalarBarActor.h>
#include <vtkSmartPointer.h>
#include <vtkTextActor.h>
#include <vtkTextProperty.h>
#include <vtkUnsignedCharArray.h>
#include <vtkWindowToImageFilter.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pelmora::cli {
namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr double kShapeShare = 0.84; // of the width; the colour bar takes the rest
constexpr double kTilt = 40.0;       // degrees between the view and the drape direction
constexpr int kSparsePoints = 2500;  // cloud points drawn without --preview-points
constexpr double kMargin = 1.04;     // around the shape

struct View
{
  double along[3], up[3], right[3]; // unit: into the picture, up, right
};

double Dot(const double a[3], const double b[3])
{
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void Normalize(double v[3])
{
  const double length = std::sqrt(Dot(v, v));
  for (int k = 0; k < 3; ++k)
    v[k] /= length;
}

// Looking along the drape direction tilted towards `side`, with the
// direction pointing down the picture.
View ViewAlong(const double d[3], const double towards[3])
{
  double side[3] = {towards[0], towards[1], towards[2]};
  const double along = Dot(side, d);
  for (int k = 0; k < 3; ++k)
    side[k] -= along * d[k];
  Normalize(side);
  View view;
  const double tilt = kTilt * M_PI / 180.0;
  for (int k = 0; k < 3; ++k)
    view.along[k] = d[k] * std::cos(tilt) + side[k] * std::sin(tilt);
  const double dv = Dot(d, view.along);
  for (int k = 0; k < 3; ++k)
    view.up[k] = -(d[k] - dv * view.along[k]);
  Normalize(view.up);
  view.right[0] = view.along[1] * view.up[2] - view.along[2] * view.up[1];
  view.right[1] = view.along[2] * view.up[0] - view.along[0] * view.up[2];
  view.right[2] = view.along[0] * view.up[1] - view.along[1] * view.up[0];
  return view;
}

// A parallel projection that fits every point of `shape` into a viewport of
// the given width / height.
double FitCamera(vtkCamera *camera, vtkPoints *shape, const View &view, double aspect)
{
  double lowX = INFINITY, highX = -INFINITY, lowY = INFINITY, highY = -INFINITY;
  double depth = 0.0, centre[3] = {0, 0, 0};
  for (vtkIdType k = 0; k < shape->GetNumberOfPoints(); ++k) {
    double p[3];
    shape->GetPoint(k, p);
    const double x = Dot(p, view.right), y = Dot(p, view.up);
    lowX = std::min(lowX, x);
    highX = std::max(highX, x);
    lowY = std::min(lowY, y);
    highY = std::max(highY, y);
    depth = std::max(depth, std::fabs(Dot(p, view.along)));
  }
  if (!(highX >= lowX))
    lowX = highX = lowY = highY = 0.0;
  const double halfWidth = 0.5 * (highX - lowX), halfHeight = 0.5 * (highY - lowY);
  const double scale = std::max({halfHeight, halfWidth / aspect, 1e-9}) * kMargin;
  double focal[3], position[3];
  for (int k = 0; k < 3; ++k) {
    centre[k] = 0.5 * (lowX + highX) * view.right[k] + 0.5 * (lowY + highY) * view.up[k];
    focal[k] = centre[k];
    position[k] = focal[k] - view.along[k] * (depth + 4.0 * scale);
  }
  camera->ParallelProjectionOn();
  camera->SetFocalPoint(focal);
  camera->SetPosition(position);
  camera->SetViewUp(view.up);
  camera->SetParallelScale(scale);
  return scale;
}

// Of the views tilted towards two sides across the drape direction, the
// one that shows the shape largest.
View BestView(const double d[3], vtkPoints *shape, double aspect)
{
  const double sides[2][3] = {{1, 0, 0}, {0, 1, 0}};
  View best{};
  double bestScale = INFINITY;
  for (const double *side : sides) {
    double across[3] = {side[0], side[1], side[2]};
    const double along = Dot(across, d);
    if (std::fabs(along) > 0.9)
      continue; // nearly the direction itself
    const View view = ViewAlong(d, across);
    vtkNew<vtkCamera> camera;
    const double scale = FitCamera(camera, shape, view, aspect);
    if (scale < bestScale) {
      best = view;
      bestScale = scale;
    }
  }
  return best;
}

vtkSmartPointer<vtkActor> PlainActor(vtkPolyData *data, const double colour[3])
{
  vtkNew<vtkPolyDataMapper> mapper;
  mapper->SetInputData(data);
  mapper->ScalarVisibilityOff();
  auto actor = vtkSmartPointer<vtkActor>::New();
  actor->SetMapper(mapper);
  actor->GetProperty()->SetColor(colour[0], colour[1], colour[2]);
  return actor;
}

vtkSmartPointer<vtkActor> ShadedActor(vtkPolyData *data, vtkLookupTable *table)
{
  vtkNew<vtkPolyDataNormals> normals;
  normals->SetInputData(data);
  normals->SplittingOff();
  normals->Update();
  vtkNew<vtkPolyDataMapper> mapper;
  mapper->SetInputData(normals->GetOutput());
  mapper->SetLookupTable(table);
  mapper->UseLookupTableScalarRangeOn();
  mapper->ScalarVisibilityOn();
  auto actor = vtkSmartPointer<vtkActor>::New();
  actor->SetMapper(mapper);
  actor->GetProperty()->SetAmbient(0.25);
  actor->GetProperty()->SetDiffuse(0.8);
  return actor;
}

vtkSmartPointer<vtkTextActor> Caption(const char *text, double x, double y, int size,
                                      const double colour[3])
{
  auto caption = vtkSmartPointer<vtkTextActor>::New();
  caption->SetInput(text);
  caption->GetPositionCoordinate()->SetCoordinateSystemToNormalizedViewport();
  caption->GetPositionCoordinate()->SetValue(x, y);
  caption->GetTextProperty()->SetFontSize(size);
  caption->GetTextProperty()->SetColor(colour[0], colour[1], colour[2]);
  return caption;
}

// The colour bar, and the legend of the fold markers.
vtkSmartPointer<vtkRenderer> Legend(vtkLookupTable *table, const SurfaceColouring &colouring,
                                    bool folds)
{
  auto legend = vtkSmartPointer<vtkRenderer>::New();
  legend->SetViewport(kShapeShare, 0.0, 1.0, 1.0);
  legend->SetBackground(1, 1, 1);
  vtkNew<vtkScalarBarActor> bar;
  bar->SetLookupTable(table);
  bar->SetTitle(colouring.title);
  bar->SetNumberOfLabels(colouring.byDeviation ? 5 : 4);
  bar->SetLabelFormat("%-#6.3g");
  bar->GetPositionCoordinate()->SetCoordinateSystemToNormalizedViewport();
  bar->GetPositionCoordinate()->SetValue(0.1, 0.12);
  bar->SetWidth(0.8);
  bar->SetHeight(0.76);
  bar->SetMaximumWidthInPixels(120);
  // Swatches for the darker colours beyond the range (the caption names
  // them), so that a region coloured by them reads as beyond the scale
  // rather than as its end.
  bar->DrawAnnotationsOff();
  bar->DrawBelowRangeSwatchOn();
  bar->DrawAboveRangeSwatchOn();
  const double black[3] = {0, 0, 0}, magenta[3] = {0.85, 0.0, 0.85};
  for (vtkTextProperty *text : {bar->GetTitleTextProperty(), bar->GetLabelTextProperty(),
                                bar->GetAnnotationTextProperty()}) {
    text->SetColor(black[0], black[1], black[2]);
    text->ShadowOff();
    text->ItalicOff();
  }
  legend->AddActor2D(bar);
  if (colouring.byDeviation)
    legend->AddActor2D(
        Caption("+ above the surface\n- below it\ndark: off the scale\ngrey: no point near", 0.06,
                0.02, 13, black));
  if (folds)
    legend->AddActor2D(Caption("o probe folds", 0.1, 0.93, 15, magenta));
  return legend;
}

// The drape direction as an arrow in a corner, seen as the shape is.
vtkSmartPointer<vtkRenderer> DirectionInset(const double d[3], const View &view)
{
  auto inset = vtkSmartPointer<vtkRenderer>::New();
  inset->SetViewport(0.0, 0.0, 0.16, 0.2);
  inset->SetLayer(1);
  const double red[3] = {0.8, 0.1, 0.1};
  auto arrow = PlainActor(DirectionArrow(d, view.right), red);
  arrow->GetProperty()->SetLineWidth(3);
  inset->AddActor(arrow);
  inset->AddActor2D(Caption("drape direction", 0.05, 0.02, 13, red));
  double focal[3], position[3];
  for (int k = 0; k < 3; ++k) {
    focal[k] = -0.5 * d[k];
    position[k] = focal[k] - 5.0 * view.along[k];
  }
  vtkCamera *camera = inset->GetActiveCamera();
  camera->ParallelProjectionOn();
  camera->SetFocalPoint(focal);
  camera->SetPosition(position);
  camera->SetViewUp(view.up);
  camera->SetParallelScale(0.75);
  inset->ResetCameraClippingRange();
  return inset;
}

// The shape, its colours, the cloud sample and the fold markers.
vtkSmartPointer<vtkRenderer> ShapeRenderer(const PreviewScene &scene, const double d[3], View &view,
                                           SurfaceColouring &colouring,
                                           vtkSmartPointer<vtkLookupTable> &table)
{
  auto renderer = vtkSmartPointer<vtkRenderer>::New();
  renderer->SetViewport(0.0, 0.0, kShapeShare, 1.0);
  renderer->SetBackground(1, 1, 1);
  vtkSmartPointer<vtkPolyData> shape;
  if (scene.surface)
    shape = ColouredSurface(scene, colouring);
  else if (scene.mesh)
    shape = ColouredMesh(scene, colouring);
  table = ColourTable(colouring);
  if (shape)
    renderer->AddActor(ShadedActor(shape, table));

  const ON_3dPointArray &cloud = *scene.points;
  const int stride = scene.allPoints ? 1 : std::max(1, cloud.Count() / kSparsePoints);
  const double dark[3] = {0.15, 0.15, 0.2}, magenta[3] = {0.85, 0.0, 0.85};
  vtkSmartPointer<vtkPolyData> sample = CloudSample(cloud, stride);
  auto points = PlainActor(sample, dark);
  points->GetProperty()->SetPointSize(2);
  points->GetProperty()->SetOpacity(scene.allPoints ? 1.0 : 0.6);
  renderer->AddActor(points);
  if (scene.surface && scene.onFold) { // markers only where there are folds
    auto folds = PlainActor(FoldMarkers(scene), magenta);
    folds->GetProperty()->SetPointSize(6);
    folds->GetProperty()->SetRenderPointsAsSpheres(true);
    renderer->AddActor(folds);
  }
  // The frame holds the shape and the points drawn.
  vtkNew<vtkPoints> frame;
  for (vtkPolyData *part : {shape.Get(), sample.Get()})
    for (vtkIdType k = 0; part && k < part->GetNumberOfPoints(); ++k)
      frame->InsertNextPoint(part->GetPoint(k));
  const double aspect = kShapeShare * kWidth / kHeight;
  view = BestView(d, frame, aspect);
  FitCamera(renderer->GetActiveCamera(), frame, view, aspect);
  renderer->ResetCameraClippingRange();
  return renderer;
}

} // namespace

namespace {

// The one X connection of a run, opened at the first check and handed to
// VTK for the render. Opened once: an Xvfb resets when its last client
// leaves, and a render window connecting during that reset made VTK abort.
// Opened with a timeout: a socket that is no X server neither hangs nor
// aborts the tool. Kept until the process ends.
Display *PreviewConnection()
{
  static Display *const connection = pelmora::OpenXDisplay(nullptr);
  return connection;
}

} // namespace

bool PreviewAvailable(std::string &reason)
{
  const char *display = std::getenv("DISPLAY");
  if (!display || !*display) {
    reason = "no display available (DISPLAY is not set); run under xvfb-run";
    return false;
  }
  if (!PreviewConnection()) {
    reason = std::string("cannot connect to display ") + display + "; run under xvfb-run";
    return false;
  }
  return true;
}

io::IoResult RenderPreview(const std::string &path, const PreviewScene &scene)
{
  std::string reason;
  if (!PreviewAvailable(reason))
    return io::IoResult::Fail("cannot render " + path + ": " + reason);
  try {
    io::VtkMessageCapture messages;
    double d[3] = {scene.direction.x, scene.direction.y, scene.direction.z};
    Normalize(d);
    View view;
    SurfaceColouring colouring;
    vtkSmartPointer<vtkLookupTable> table;
    auto shape = ShapeRenderer(scene, d, view, colouring, table);
    const bool folds =
        scene.surface && scene.onFold &&
        std::find(scene.onFold->begin(), scene.onFold->end(), 1) != scene.onFold->end();

    vtkNew<vtkRenderWindow> window;
    window->SetDisplayId(PreviewConnection());
    window->SetOffScreenRendering(1);
    window->SetSize(kWidth, kHeight);
    window->SetNumberOfLayers(2);
    window->AddRenderer(shape);
    window->AddRenderer(Legend(table, colouring, folds));
    if (scene.surface) // a wrap has no drape direction to show
      window->AddRenderer(DirectionInset(d, view));
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
