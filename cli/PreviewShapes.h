// The pieces of a preview picture as VTK poly data: the sampled surface
// with a value per vertex, a sample of the cloud, the fold markers and the
// direction arrow; and the colour tables of the values.
#pragma once

#include "cli/Preview.h"

#include <vtkLookupTable.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>

namespace pelmora::cli {

// What the surface's colours show.
struct SurfaceColouring
{
  bool byDeviation = false;
  double low = 0.0, high = 0.0; // the range of the colour table
  const char *title = "";
};

// The surface sampled on a regular parameter grid, with a scalar per
// vertex: the deviation of the cloud points whose closest points lie
// around it (NaN where none lie near), or the height against the drape
// direction.
vtkSmartPointer<vtkPolyData> ColouredSurface(const PreviewScene &scene,
                                             SurfaceColouring &colouring);

// A mesh with its heights against the drape direction.
vtkSmartPointer<vtkPolyData> ColouredMesh(const PreviewScene &scene, SurfaceColouring &colouring);

// Blue, white, red for signed deviations; a perceptual ramp for heights.
vtkSmartPointer<vtkLookupTable> ColourTable(const SurfaceColouring &colouring);

// The cloud's points as vertices: every `stride`-th one.
vtkSmartPointer<vtkPolyData> CloudSample(const ON_3dPointArray &cloud, int stride);

// The cloud points that fall on fold nodes.
vtkSmartPointer<vtkPolyData> FoldMarkers(const PreviewScene &scene);

// An arrow along `d` of unit length ending at the origin.
vtkSmartPointer<vtkPolyData> DirectionArrow(const double d[3], const double across[3]);

} // namespace pelmora::cli
