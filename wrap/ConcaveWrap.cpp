// PMSurface::WrapConcaveMesh: a surface reconstructed from the unorganised
// points (vtkSurfaceReconstructionFilter's signed distance volume, contoured
// at 0 by vtkContourFilter), flipped so that its faces point outwards; where
// that is not a closed, 2-manifold mesh, the watertight wrap.
#include "PMSurface.h"
#include "wrap/CreateMeshFromPolyData.h"
#include "wrap/MeshSoundness.h"
#include "wrap/StageProgress.h"
#include "wrap/WatertightWrap.h"
#include "wrap/WrapFrame.h"

#include <vtkContourFilter.h>
#include <vtkImageData.h>
#include <vtkPolyData.h>
#include <vtkSurfaceReconstructionFilter.h>

#include <string>

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

// The reconstruction's contour, where it is closed and 2-manifold, keeps
// its shape, turned outward if it faces in. Otherwise (open pieces, fins,
// sheets, or a contour ON_Mesh rejects) the cloud gets the watertight wrap
// at its suggested detail, which always closes. The wrap's one progress
// window belongs to the reconstruction filter, so the fallback shows none.
bool SettleConcaveMesh(const ON_3dPointArray &points, int, ON_Mesh &working)
{
  if (IsClosedManifold(working)) {
    if (EnclosedVolume6(working) < 0.0)
      working.Flip();
    return true;
  }
  StageProgress silent("Wrapping concave mesh", 0);
  std::string why;
  return BuildWatertightMesh(points, 0.0, silent, working, why);
}

} // namespace

} // namespace pelmora::wrap

int PMSurface::WrapConcaveMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress)
{
  using namespace pelmora::wrap;
  return RunWrapFrame(mesh, points, showProgress,
                      WrapRecipe{ConcaveWrapCanRun, RunConcavePipeline, true, SettleConcaveMesh});
}
