// A picture of a result, rendered off screen with VTK: the surface coloured
// by the deviation of the cloud from it (or the mesh, or a surface without
// deviations, coloured by height), a colour bar with its units, the probe
// folds marked, a sparse sample of the cloud's points, and for a surface the
// drape direction in an inset; seen from a viewpoint tilted away from the drape
// direction, the shape fitted to the frame.
#pragma once

#include "io/IoResult.h"
#include "opennurbs.h"

#include <string>
#include <vector>

namespace pelmora::cli {

struct PreviewScene
{
  const ON_3dPointArray *points = nullptr;
  ON_3dVector direction;                    // drape direction (any length)
  const ON_NurbsSurface *surface = nullptr; // either this...
  const ON_Mesh *mesh = nullptr;            // ...or this
  // Optional, with a surface: per cloud point its signed deviation (NaN
  // where none) and the surface parameters of its closest point.
  const ON_SimpleArray<double> *deviations = nullptr;
  const ON_2dPointArray *parameters = nullptr;
  // Optional: per cloud point, whether it falls where the probe
  // compensation folds the surface (drawn as markers).
  const std::vector<unsigned char> *onFold = nullptr;
  double colourRange = 0.0; // deviation shown at full colour; 0: from the data
  bool allPoints = false;   // every cloud point instead of a sparse sample
};

// False with the reason when no X display can be reached (rendering would
// need one). Starts nothing.
bool PreviewAvailable(std::string &reason);

// For a requested preview (`path` not empty): throws UsageError with the
// reason when no display can be reached, before any work is done.
void RequirePreviewDisplay(const std::string &path);

// Renders `scene` into a 1024 x 768 PNG at `path`, written atomically.
io::IoResult RenderPreview(const std::string &path, const PreviewScene &scene);

} // namespace pelmora::cli
