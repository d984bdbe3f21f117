// The reconstruction grid the concave wrap predicts must be the one the
// filter builds, or the sample limit would guard the wrong number.
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

TEST(ReconstructionGrid, PredictionMatchesTheFilter)
{
  pelmora::test::Random random(3);
  ON_3dPointArray thinBox;
  for (int i = 0; i < 30; ++i)
    thinBox.Append(
        ON_3dPoint(random.Uniform(0, 1), random.Uniform(-5, 5), random.Uniform(2, 2.01)));
  pelmora::test::CloudSpec scan;
  scan.xmax = 40.0;
  scan.ymax = 25.0;
  scan.count = 2000;
  scan.height = [](double x, double y) { return 2.0 * std::sin(x / 7.0) * std::cos(y / 5.0); };
  const ON_3dPointArray clouds[] = {thinBox,
                                    pelmora::test::SphereCloud(500, 3.0, ON_3dPoint(1e3, 0, -1)),
                                    pelmora::test::MakeCloud(scan)};

  for (const ON_3dPointArray &cloud : clouds) {
    vtkNew<vtkPoints> points;
    for (int i = 0; i < cloud.Count(); ++i)
      points->InsertNextPoint(cloud[i].x, cloud[i].y, cloud[i].z);
    vtkNew<vtkPolyData> input;
    input->SetPoints(points);
    vtkNew<vtkSurfaceReconstructionFilter> filter;
    filter->SetInputData(input);
    filter->Update();
    vtkImageData *volume = filter->GetOutput();

    const FloatBounds bounds = ComputeFloatBounds(cloud);
    ASSERT_TRUE(ConcaveWrapCanRun(bounds));
    const ReconstructionGrid grid = PredictReconstructionGrid(bounds);
    EXPECT_DOUBLE_EQ(grid.spacing, volume->GetSpacing()[0]);
    for (int axis = 0; axis < 3; ++axis) {
      EXPECT_EQ(grid.dimensions[axis], volume->GetDimensions()[axis]) << "axis " << axis;
      EXPECT_NEAR(grid.origin[axis], volume->GetOrigin()[axis], 1e-12 * grid.spacing);
    }
  }
}
