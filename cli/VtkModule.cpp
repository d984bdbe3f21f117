// The entry point of the tool's VTK module.
#include "cli/VtkModule.h"
#include "io/MeshWriter.h"

extern "C" __attribute__((visibility("default"))) const PMToolVtkEntries *pelmora_tool_vtk_entries()
{
  static const PMToolVtkEntries entries{&pelmora::io::WriteMesh, &pelmora::cli::PreviewAvailable,
                                        &pelmora::cli::RequirePreviewDisplay,
                                        &pelmora::cli::RenderPreview};
  return &entries;
}
