// The steps both wraps share: loading the cloud into VTK, progress hook-up,
// validation, error text and hand-over of the result. Internal to the wrap
// folder; not exported.
#pragma once

#include "opennurbs.h"
#include "wrap/WrapGuards.h"

#include <vtkSmartPointer.h>

#include <functional>
#include <new>

class vtkAlgorithm;
class vtkPolyData;

namespace pelmora::wrap {

// Creates a VTK object; throws std::bad_alloc when it cannot be made, so a
// failed creation ends the wrap like any other allocation failure.
template <class T> vtkSmartPointer<T> CreateVtk()
{
  vtkSmartPointer<T> object = vtkSmartPointer<T>::Take(T::New());
  if (!object)
    throw std::bad_alloc();
  return object;
}

// Registers the module-wide pipeline hooks on `filter` as observers of its
// start, progress and end events, after setting its progress text, when
// `showProgress` equals 1. Any other value leaves the filter untouched.
void HookPipelineProgress(vtkAlgorithm *filter, const char *progressText, int showProgress);

// A wrap's own part: creates its filters, hooks the first one, brings each
// up to date in order, converts the last output into `working` (with
// CreateMeshFromPolyData, moving it by `origin`) and releases the filters
// before returning. `input` holds the cloud less `origin`.
using PipelineRunner = void (*)(vtkPolyData *input, int showProgress, const ON_3dPoint &origin,
                                ON_Mesh &working);

struct WrapRecipe
{
  bool (*canRun)(const FloatBounds &bounds); // inputs the filters can take
  PipelineRunner runPipeline;
  bool flip; // reverse every face of the converted mesh
  // Optional: given the cloud and the flipped mesh, makes it what the wrap
  // promises or returns false (the wrap then fails).
  bool (*settle)(const ON_3dPointArray &points, int showProgress, ON_Mesh &working);
};

// The end every wrap shares: runs `build` into an empty working mesh, and
// when it returns true and the working mesh is valid, assigns it to `mesh`
// and returns 1. Otherwise (also when `build` throws) sets the error text
// to "Invalid mesh", leaves `mesh` untouched and returns 0.
int HandOverWrap(ON_Mesh &mesh, int showProgress, const std::function<bool(ON_Mesh &)> &build);

// The centre of the cloud's bounding box, where the VTK pipelines put their
// origin so that single-precision points keep the cloud's detail wherever
// it sits. False for an empty cloud or a non-finite coordinate.
bool CloudCentre(const ON_3dPointArray &points, ON_3dPoint &centre);

// Runs a wrap: switches VTK's warning display off for the process, moves
// the cloud to its centre, checks it with recipe.canRun, loads it into
// float points of a cell-less poly data, runs the pipeline (whose mesh
// comes back moved to the cloud's place, in double), flips when asked and
// validates. Result 1
// with `mesh` replaced by the wrapped mesh; 0 with the error text "Invalid
// mesh" and `mesh` untouched. Nothing thrown inside escapes.
int RunWrapFrame(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress,
                 const WrapRecipe &recipe);

} // namespace pelmora::wrap
