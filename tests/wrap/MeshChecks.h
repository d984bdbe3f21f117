// Sample clouds on known shapes and mesh checks for the wrap tests.
#pragma once

#include "opennurbs.h"

#include <vtkImageData.h>
#include <vtkSmartPointer.h>

namespace pelmora::test {

// Evenly spread (Fibonacci spiral) points on a sphere.
ON_3dPointArray SphereCloud(int count, double radius, const ON_3dPoint &centre);
// Points on a torus around the z axis, on a slightly jittered angle grid.
ON_3dPointArray TorusCloud(int count, double ringRadius, double tubeRadius);
// point(i) for i in [0, count).
template <class Point> ON_3dPointArray Cloud(int count, Point point)
{
  ON_3dPointArray points;
  for (int i = 0; i < count; ++i)
    points.Append(point(i));
  return points;
}
// Exactly the same vertices and faces in the same order.
bool SameMesh(const ON_Mesh &a, const ON_Mesh &b);
// A small valid mesh to pre-fill an output with.
ON_Mesh MarkerMesh();
// The wrap returns 0, leaves "Invalid mesh" as the error and a pre-filled mesh as it was.
void ExpectWrapFails(int (*wrap)(ON_Mesh &, const ON_3dPointArray &, int),
                     const ON_3dPointArray &cloud, int caseIndex);
// A Qt application for the progress windows, made once for the process
// before any wrap shows progress (the window toolkit is chosen at the first
// window).
void EnsureApplication();
// The reconstruction filter's volume for the cloud, default settings.
vtkSmartPointer<vtkImageData> ReconstructionVolume(const ON_3dPointArray &cloud);

} // namespace pelmora::test
