// PMSurface::WrapWatertightMesh and SuggestWrapDetail: the boundary of the
// cloud's voxel closing (wrap/VoxelClosing.h), contoured by flying edges in
// a frame centred on the cloud and moved back in double.
#include "wrap/WatertightWrap.h"

#include "PMSurface.h"
#include "framework/Guarded.h"
#include "wrap/CreateMeshFromPolyData.h"
#include "wrap/PointSpacing.h"
#include "wrap/StageProgress.h"
#include "wrap/VoxelClosing.h"
#include "wrap/VtkWarningsOff.h"
#include "wrap/WrapFrame.h"

#include <vtkFlyingEdges3D.h>
#include <vtkFloatArray.h>
#include <vtkImageData.h>
#include <vtkPointData.h>
#include <vtkPolyData.h>
#include <vtkWindowedSincPolyDataFilter.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace pelmora::wrap {

namespace {

// The voxels a suggested detail may take: 64 a point (finer voxels add
// nothing the points can tell), at least 2^21 and at most 2^24 (about
// 0.15 GB at peak).
double SuggestedVoxelBudget(int pointCount)
{
  return std::min(std::ldexp(1.0, 24), std::max(std::ldexp(1.0, 21), 64.0 * pointCount));
}
// Neighbour rank and factor of the suggested detail: the tenth neighbour
// reaches across scan lines, and at 2.5 times its distance the blocked band
// around each point (0.4 of the detail) reaches the tenth neighbour, which
// leaves randomly spaced points almost no gap.
constexpr int kNeighbourRank = 10;
constexpr double kDetailPerSpacing = 2.5;
constexpr int kMaxCoarsening = 5; // up to 1.5^5, about 7.6 times
constexpr double kCrumbShare = 0.002;

ON_3dPointArray Centred(const ON_3dPointArray &points, const ON_3dPoint &centre)
{
  ON_3dPointArray local(points);
  for (int i = 0; i < local.Count(); ++i)
    local[i] -= ON_3dVector(centre);
  return local;
}

bool HasExtent(const ON_BoundingBox &box)
{
  const ON_3dVector extent = box.m_max - box.m_min;
  return extent.x > 0.0 || extent.y > 0.0 || extent.z > 0.0;
}

double SuggestCentred(const ON_3dPointArray &local)
{
  const ON_BoundingBox box = local.BoundingBox();
  if (!HasExtent(box))
    return 0.0;
  const double spacing = MedianNeighbourDistance(local, kNeighbourRank, 2000);
  double detail = std::max(kDetailPerSpacing * spacing,
                           SmallestDetail(box, SuggestedVoxelBudget(local.Count())));
  // Noise thicker than the spacing, or gaps wider than it, break the
  // closing into crumbs: coarsen until at most 0.2 % of the points are in
  // pieces that small.
  // (Outliers, a few points far from the rest, stay crumbs at any detail
  // and count against the share.)
  for (int coarser = 0; coarser < kMaxCoarsening; ++coarser) {
    const VoxelGrid grid = PlanVoxelGrid(box, detail);
    if (!(grid.VoxelCount() <= VoxelBudget()) || CrumbShare(local, grid) <= kCrumbShare)
      break;
    detail *= 1.5;
  }
  return detail;
}

std::string TooFineMessage(double detail, double voxels, double budget, double smallest)
{
  char text[256];
  std::snprintf(text, sizeof text,
                "Detail %.6g needs %.3g voxels, more than the %.3g this machine can give: "
                "use a detail of %.3g or more",
                detail, voxels, budget, smallest * 1.001);
  return text;
}

// Contours the field's zero level into `wrapped` (moved by `origin`) and
// turns it to face outward.
void Contour(std::vector<float> &field, const VoxelGrid &grid, const ON_3dPoint &origin,
             ON_Mesh &wrapped)
{
  vtkSmartPointer<vtkFloatArray> values = CreateVtk<vtkFloatArray>();
  values->SetArray(field.data(), vtkIdType(field.size()), 1); // borrowed, not freed
  vtkSmartPointer<vtkImageData> image = CreateVtk<vtkImageData>();
  image->SetDimensions(grid.dims);
  image->SetSpacing(grid.voxel, grid.voxel, grid.voxel);
  image->SetOrigin(grid.origin.x, grid.origin.y, grid.origin.z);
  image->GetPointData()->SetScalars(values);

  vtkSmartPointer<vtkFlyingEdges3D> contour = CreateVtk<vtkFlyingEdges3D>();
  contour->SetInputData(image);
  contour->SetValue(0, 0.0);
  contour->ComputeNormalsOff();
  contour->ComputeGradientsOff();
  contour->ComputeScalarsOff();
  contour->InterpolateAttributesOff();
  contour->Update();

  // The contour steps with the voxels; a windowed-sinc smoothing moves its
  // vertices only (faces and their order stay), taking off the steps
  // without shrinking the shape.
  vtkSmartPointer<vtkWindowedSincPolyDataFilter> smooth =
      CreateVtk<vtkWindowedSincPolyDataFilter>();
  smooth->SetInputData(contour->GetOutput());
  smooth->SetNumberOfIterations(15);
  smooth->SetPassBand(0.1);
  smooth->BoundarySmoothingOff();
  smooth->FeatureEdgeSmoothingOff();
  smooth->NonManifoldSmoothingOff();
  smooth->NormalizeCoordinatesOn();
  smooth->Update();
  CreateMeshFromPolyData(wrapped, smooth->GetOutput(), origin);

  // The contour's faces all turn the same way; the sign of the enclosed
  // volume says which.
  double volume = 0.0;
  for (int f = 0; f < wrapped.FaceCount(); ++f) {
    const int *vi = wrapped.m_F[f].vi;
    const ON_3dVector a = wrapped.m_dV[vi[0]] - origin, b = wrapped.m_dV[vi[1]] - origin,
                      c = wrapped.m_dV[vi[2]] - origin;
    volume += ON_DotProduct(a, ON_CrossProduct(b, c));
  }
  if (volume < 0.0)
    wrapped.Flip();
}

} // namespace

double SuggestDetail(const ON_3dPointArray &points)
{
  ON_3dPoint centre;
  if (!CloudCentre(points, centre))
    return 0.0;
  return SuggestCentred(Centred(points, centre));
}

bool BuildWatertightMesh(const ON_3dPointArray &points, double detail, StageProgress &progress,
                         ON_Mesh &wrapped, std::string &why)
{
  wrapped.Destroy();
  why = "Invalid mesh";
  ON_3dPoint centre;
  if (!CloudCentre(points, centre))
    return false;
  const ON_3dPointArray local = Centred(points, centre);
  if (!(detail > 0.0) || !std::isfinite(detail))
    detail = SuggestCentred(local);
  const ON_BoundingBox box = local.BoundingBox();
  if (!(detail > 0.0) || !HasExtent(box))
    return false;
  progress.Reach(0.05);

  const VoxelGrid grid = PlanVoxelGrid(box, detail);
  const double budget = VoxelBudget();
  if (!(grid.VoxelCount() <= budget)) {
    why = TooFineMessage(detail, grid.VoxelCount(), budget, SmallestDetail(box, budget));
    return false;
  }
  std::vector<float> field = ClosingField(local, grid, progress, 0.05, 0.8);
  Contour(field, grid, centre, wrapped);
  progress.Reach(0.95);
  return wrapped.FaceCount() > 0;
}

} // namespace pelmora::wrap

double PMSurface::SuggestWrapDetail(const ON_3dPointArray &points)
{
  // 0 when there is no memory for the neighbour search.
  return pelmora::Guarded([&] { return pelmora::wrap::SuggestDetail(points); },
                          [](pelmora::Failure) noexcept { return 0.0; });
}

int PMSurface::WrapWatertightMesh(ON_Mesh &mesh, const ON_3dPointArray &points, double detail,
                                  int showProgress)
{
  using namespace pelmora::wrap;
  std::string why = "Invalid mesh";
  const int result = HandOverWrap(mesh, showProgress, [&](ON_Mesh &working) {
    const VtkWarningsOff quiet; // as every wrap, for the host's setting
    StageProgress progress("Wrapping watertight mesh", showProgress);
    if (!BuildWatertightMesh(points, detail, progress, working, why))
      return false;
    progress.Finish();
    return true;
  });
  // No memory for the longer text: "Invalid mesh" stays.
  if (!result && why != "Invalid mesh")
    pelmora::Guarded([&why] { PMSurface::SetError(CString(why.c_str())); });
  return result;
}
