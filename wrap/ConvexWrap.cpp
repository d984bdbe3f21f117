// PMSurface::WrapConvexMesh: the boundary of the cloud's 3-D Delaunay
// triangulation (its convex hull), through vtkDelaunay3D,
// vtkDataSetSurfaceFilter and vtkPolyDataNormals.
#include "PMSurface.h"
#include "wrap/CreateMeshFromPolyData.h"
#include "wrap/WrapFrame.h"

#include <vtkDataSetSurfaceFilter.h>
#include <vtkDelaunay3D.h>
#include <vtkPolyData.h>
#include <vtkPolyDataNormals.h>
#include <vtkUnstructuredGrid.h>

namespace pelmora::wrap {

namespace {

void RunConvexPipeline(vtkPolyData *input, int showProgress, ON_Mesh &working)
{
  // Alpha 0, tolerance 0.001, offset 2.5, no bounding triangulation: the
  // filter's defaults. Output points stay single precision like the input.
  vtkSmartPointer<vtkDelaunay3D> triangulation = CreateVtk<vtkDelaunay3D>();
  triangulation->SetOutputPointsPrecision(vtkAlgorithm::SINGLE_PRECISION);
  HookPipelineProgress(triangulation, "Wrapping convex mesh", showProgress);
  triangulation->SetInputData(input);
  triangulation->Update();

  // Polygons, not strips (the default).
  vtkSmartPointer<vtkDataSetSurfaceFilter> surface = CreateVtk<vtkDataSetSurfaceFilter>();
  surface->SetInputData(triangulation->GetOutput());
  surface->Update();

  vtkSmartPointer<vtkPolyDataNormals> normals = CreateVtk<vtkPolyDataNormals>();
  normals->SetInputData(surface->GetOutput());
  normals->ConsistencyOn();
  normals->ComputeCellNormalsOn();
  normals->ComputePointNormalsOff();
  normals->NonManifoldTraversalOn();
  normals->SplittingOff();
  normals->SetFeatureAngle(0.05);
  normals->AutoOrientNormalsOff();
  normals->SetOutputPointsPrecision(vtkAlgorithm::SINGLE_PRECISION);
  normals->Update();

  CreateMeshFromPolyData(working, normals->GetOutput());
}

} // namespace

} // namespace pelmora::wrap

int PMSurface::WrapConvexMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress)
{
  using namespace pelmora::wrap;
  return RunWrapFrame(mesh, points, showProgress,
                      WrapRecipe{ConvexWrapCanRun, RunConvexPipeline, false});
}
