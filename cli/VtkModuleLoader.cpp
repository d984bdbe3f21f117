// The tool's mesh writer and preview, loaded from its VTK module on first
// use. When the module cannot be loaded the call fails with a message that
// names it.
#include "cli/Arguments.h"
#include "cli/VtkModule.h"
#include "io/MeshWriter.h"
#include "modules/ModuleLoader.h"

namespace {

const PMToolVtkEntries *Entries(std::string &error)
{
  auto entry = reinterpret_cast<const PMToolVtkEntries *(*)()>(
      pelmora::ModuleEntry(PELMORA_TOOL_VTK_MODULE, PELMORA_TOOL_VTK_ENTRIES,
                           reinterpret_cast<const void *>(&Entries), error));
  return entry ? entry() : nullptr;
}

} // namespace

namespace pelmora::io {

IoResult WriteMesh(const std::string &path, const ON_Mesh &mesh)
{
  std::string error;
  const PMToolVtkEntries *entries = Entries(error);
  return entries ? entries->writeMesh(path, mesh)
                 : IoResult::Fail("cannot write " + path + ": " + error);
}

} // namespace pelmora::io

namespace pelmora::cli {

bool PreviewAvailable(std::string &reason)
{
  const PMToolVtkEntries *entries = Entries(reason);
  return entries && entries->previewAvailable(reason);
}

void RequirePreviewDisplay(const std::string &path)
{
  if (path.empty())
    return;
  std::string error;
  const PMToolVtkEntries *entries = Entries(error);
  if (!entries)
    throw UsageError("--preview: " + error);
  entries->requirePreviewDisplay(path);
}

io::IoResult RenderPreview(const std::string &path, const PreviewScene &scene)
{
  std::string error;
  const PMToolVtkEntries *entries = Entries(error);
  return entries ? entries->renderPreview(path, scene)
                 : io::IoResult::Fail("cannot render " + path + ": " + error);
}

} // namespace pelmora::cli
