// PMSurface::WrapConcaveMesh: a surface reconstructed from the unorganised
// points (vtkSurfaceReconstructionFilter's signed distance volume, contoured
// at 0 by vtkContourFilter), flipped so that its faces point outwards.
#include "PMSurface.h"
#include "wrap/CreateMeshFromPolyData.h"
#include "wrap/WrapFrame.h"

#include <vtkContourFilter.h>
#include <vtkImageData.h>
#include <vtkPolyData.h>
#include <vtkSurfaceReconstructionFilter.h>

namespace pelmora::wrap {

namespace {

void RunConcavePipeline(vtkPolyData *input, int showProgress, const ON_3dPoint &origin,
                        ON_Mesh &working)
{
  // Neighbourhood of 20 points and automatic sample spacing: the filter's
  // defaults.
  vtkSmartPointer<vtkSurfaceReconstructionFilter> reconstruction =
      CreateVtk<vtkSurfaceReconstructionFilter>();
  HookPipelineProgress(reconstruction, "Wrapping concave mesh", showProgress);
  reconstruction->SetInputData(input);
  reconstruction->Update();

  vtkSmartPointer<vtkContourFilter> contour = CreateVtk<vtkContourFilter>();
  contour->SetInputData(reconstruction->GetOutput());
  contour->SetValue(0, 0.0);
  contour->SetOutputPointsPrecision(vtkAlgorithm::SINGLE_PRECISION);
  contour->Update();

  CreateMeshFromPolyData(working, contour->GetOutput(), origin);
}

} // namespace

} // namespace pelmora::wrap

int PMSurface::WrapConcaveMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress)
{
  using namespace pelmora::wrap;
  return RunWrapFrame(mesh, points, showProgress,
                      WrapRecipe{ConcaveWrapCanRun, RunConcavePipeline, true});
}
