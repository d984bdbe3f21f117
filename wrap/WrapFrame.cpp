// The wrap frame; see WrapFrame.h.
#include "wrap/WrapFrame.h"

#include "PMSurface.h"
#include "ui/PipelineProgress.h"
#include "wrap/VtkWarningsOff.h"

#include <vtkAlgorithm.h>
#include <vtkCallbackCommand.h>
#include <vtkCommand.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>

namespace pelmora::wrap {

namespace {

// Observer adapters: the client data is the filter the hooks report on.
void StartObserver(vtkObject *, unsigned long, void *filter, void *)
{
  OnPipelineStart(filter);
}

void ProgressObserver(vtkObject *, unsigned long, void *filter, void *)
{
  OnPipelineProgress(filter);
}

void EndObserver(vtkObject *, unsigned long, void *filter, void *)
{
  OnPipelineEnd(filter);
}

void Observe(vtkAlgorithm *filter, unsigned long event,
             void (*callback)(vtkObject *, unsigned long, void *, void *))
{
  vtkSmartPointer<vtkCallbackCommand> command = CreateVtk<vtkCallbackCommand>();
  command->SetCallback(callback);
  command->SetClientData(filter);
  filter->AddObserver(event, command);
}

void CloseProgressWindow()
{
  try {
    thePipelineProgress.EndProgress();
  } catch (...) {
  }
}

vtkSmartPointer<vtkPolyData> MakeInputPolyData(const ON_3dPointArray &points)
{
  vtkSmartPointer<vtkPoints> container = CreateVtk<vtkPoints>();
  container->SetDataTypeToFloat();
  container->Allocate(points.Count());
  for (int i = 0; i < points.Count(); ++i)
    container->InsertNextPoint(points[i].x, points[i].y, points[i].z);
  vtkSmartPointer<vtkPolyData> input = CreateVtk<vtkPolyData>();
  input->SetPoints(container);
  return input;
}

bool BuildWorkingMesh(ON_Mesh &working, const ON_3dPointArray &points, int showProgress,
                      const WrapRecipe &recipe)
{
  if (!recipe.canRun(ComputeFloatBounds(points)))
    return false;
  {
    vtkSmartPointer<vtkPolyData> input = MakeInputPolyData(points);
    recipe.runPipeline(input, showProgress, working);
  }
  if (recipe.flip)
    working.Flip();
  return true;
}

} // namespace

void HookPipelineProgress(vtkAlgorithm *filter, const char *progressText, int showProgress)
{
  if (showProgress != 1)
    return;
  filter->SetProgressText(progressText);
  Observe(filter, vtkCommand::StartEvent, StartObserver);
  Observe(filter, vtkCommand::ProgressEvent, ProgressObserver);
  Observe(filter, vtkCommand::EndEvent, EndObserver);
}

int HandOverWrap(ON_Mesh &mesh, int showProgress, const std::function<bool(ON_Mesh &)> &build)
{
  try {
    ON_Mesh working;
    if (build(working) && working.IsValid()) {
      mesh = working;
      return 1;
    }
  } catch (...) {
    // Allocation failures and anything the filters throw end here; every
    // VTK object is released by its smart pointer on the way out. A filter
    // that stopped half-way never sent its end event, so the progress
    // window it opened is closed here (closing a closed one does nothing).
    if (showProgress == 1)
      CloseProgressWindow();
  }
  try {
    PMSurface::SetError(CString(L"Invalid mesh"));
  } catch (...) {
    // Only the text's copy can fail, for lack of memory; the result stays 0.
  }
  return 0;
}

int RunWrapFrame(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress,
                 const WrapRecipe &recipe)
{
  return HandOverWrap(mesh, showProgress, [&](ON_Mesh &working) {
    const VtkWarningsOff quiet;
    return BuildWorkingMesh(working, points, showProgress, recipe);
  });
}

} // namespace pelmora::wrap
