// A shaded picture of a result, rendered off screen with VTK: the surface
// or the mesh, the cloud's points, and an arrow showing the drape direction,
// seen from a viewpoint tilted away from that direction.
#pragma once

#include "io/IoResult.h"
#include "opennurbs.h"

#include <string>

namespace pelmora::cli {

struct PreviewScene
{
  const ON_3dPointArray *points = nullptr;
  ON_3dVector direction;                    // drape direction (any length)
  const ON_NurbsSurface *surface = nullptr; // either this...
  const ON_Mesh *mesh = nullptr;            // ...or this
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
