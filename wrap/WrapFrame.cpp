// The wrap frame; see WrapFrame.h.
#include "wrap/WrapFrame.h"

#include "PMSurface.h"
#include "surface/OperationGuard.h"
#include "ui/PipelineProgress.h"
#include "wrap/CloudBounds.h"
#include "wrap/VtkWarningsOff.h"

#include <vtkAlgorithm.h>
#include <vtkCallbackCommand.h>
#include <vtkCommand.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>

#include <algorithm>
#include <cmath>

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

void CloseProgressWindow() noexcept
{
  Guarded([] { thePipelineProgress.EndProgress(); });
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
  ON_3dPoint centre;
  if (!CloudCentre(points, centre))
    return false;
  ON_3dPointArray local(points);
  for (int i = 0; i < local.Count(); ++i)
    local[i] -= ON_3dVector(centre);
  if (!recipe.canRun(ComputeFloatBounds(local)))
    return false;
  {
    vtkSmartPointer<vtkPolyData> input = MakeInputPolyData(local);
    local.Destroy();
    recipe.runPipeline(input, showProgress, centre, working);
  }
  if (recipe.flip)
    working.Flip();
  return recipe.settle == nullptr || recipe.settle(points, showProgress, working);
}

} // namespace

bool CloudCentre(const ON_3dPointArray &points, ON_3dPoint &centre)
{
  double low[3], high[3];
  if (!FiniteBounds(points, low, high))
    return false;
  for (int axis = 0; axis < 3; ++axis)
    centre[axis] = low[axis] + 0.5 * (high[axis] - low[axis]);
  return std::isfinite(centre.x) && std::isfinite(centre.y) && std::isfinite(centre.z);
}

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
  // Allocation failures and anything the filters throw end as a failed
  // wrap; every VTK object is released by its smart pointer on the way out.
  // A filter that stopped half-way never sent its end event, so the
  // progress window it opened is closed (closing a closed one does nothing).
  const int result = Guarded(
      [&] {
        ON_Mesh working;
        if (!build(working) || !working.IsValid())
          return 0;
        mesh = working;
        return 1;
      },
      [showProgress](Failure) noexcept {
        if (showProgress == 1)
          CloseProgressWindow();
        return 0;
      });
  if (!result)
    SetErrorText(L"Invalid mesh");
  return result;
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
