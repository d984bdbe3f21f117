// The reconstruction grid the concave wrap predicts must be the one the
// filter builds, or the sample limit guards the wrong number.
#include "MeshChecks.h"
#include "support/PointCloudGenerator.h"
#include "wrap/WrapGuards.h"

#include <gtest/gtest.h>
#include <vtkImageData.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSurfaceReconstructionFilter.h>

#include <cmath>

using namespace pelmora::wrap;

namespace {

void ExpectPredictedGridMatchesFilter(const ON_3dPointArray &cloud, const char *name)
{
  vtkNew<vtkPoints> points;
  for (int i = 0; i < cloud.Count(); ++i)
    points->InsertNextPoint(cloud[i].x, cloud[i].y, cloud[i].z);
  vtkNew<vtkPolyData> input;
  input->SetPoints(points);
  vtkNew<vtkSurfaceReconstructionFilter> filter;
  filter->SetInputData(input);
  filter->Update();
  int dimensions[3];
  double origin[3];
  filter->GetOutput()->GetDimensions(dimensions);
  filter->GetOutput()->GetOrigin(origin);

  const FloatBounds bounds = ComputeFloatBounds(cloud);
  ASSERT_TRUE(ConcaveWrapCanRun(bounds)) << name;
  const ReconstructionGrid grid = PredictReconstructionGrid(bounds);
  EXPECT_DOUBLE_EQ(grid.spacing, filter->GetOutput()->GetSpacing()[0]) << name;
  for (int axis = 0; axis < 3; ++axis) {
    EXPECT_EQ(grid.dimensions[axis], dimensions[axis]) << name << " axis " << axis;
    EXPECT_NEAR(grid.origin[axis], origin[axis], 1e-12 * grid.spacing) << name;
  }
}

} // namespace

TEST(ReconstructionGrid, PredictionMatchesTheFilter)
{
  pelmora::test::Random random(3);
  ON_3dPointArray box;
  for (int i = 0; i < 30; ++i)
    box.Append(ON_3dPoint(random.Uniform(0, 1), random.Uniform(-5, 5), random.Uniform(2, 2.01)));
  ExpectPredictedGridMatchesFilter(box, "thin box");
  ExpectPredictedGridMatchesFilter(pelmora::test::SphereCloud(500, 3.0, ON_3dPoint(1e3, 0, -1)),
                                   "sphere");
  pelmora::test::CloudSpec scan;
  scan.xmax = 40.0;
  scan.ymax = 25.0;
  scan.count = 2000;
  scan.height = [](double x, double y) { return 2.0 * std::sin(x / 7.0) * std::cos(y / 5.0); };
  ExpectPredictedGridMatchesFilter(pelmora::test::MakeCloud(scan), "scan");
}

TEST(ReconstructionGrid, FlatCloudsExceedTheSampleLimit)
{
  // 30 points spread 1e6 wide but 1e-6 thick would need billions of
  // samples; 1e4 by 1e-4 needs about 8 million, within the limit.
  for (double spread : {1e4, 1e6}) {
    pelmora::test::Random random(5);
    ON_3dPointArray slab;
    for (int i = 0; i < 30; ++i)
      slab.Append(ON_3dPoint(random.Uniform(0, spread), random.Uniform(0, spread),
                             random.Uniform(0, 1.0 / spread)));
    EXPECT_EQ(ConcaveWrapCanRun(ComputeFloatBounds(slab)), spread == 1e4) << spread;
  }
}
