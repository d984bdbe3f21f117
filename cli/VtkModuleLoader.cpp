// The tool's mesh writer and preview, loaded from its VTK module on first
// use. When the module cannot be loaded the call fails with a message that
// names it.
#include "cli/Arguments.h"
#include "cli/VtkModule.h"
#include "io/AtomicWrite.h"
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

// The module carries its own copy of the atomic writer, which cannot see
// the tool's OutputBatch: it writes to a temporary file of the tool's, which
// joins the batch, and its messages name the target.
pelmora::io::IoResult
WriteThroughModule(const std::string &path,
                   const std::function<pelmora::io::IoResult(const std::string &tempPath)> &write)
{
  return pelmora::io::WriteAtomically(path, [&](const std::string &tempPath) {
    pelmora::io::IoResult written = write(tempPath);
    for (size_t at; (at = written.message.find(tempPath)) != std::string::npos;)
      written.message.replace(at, tempPath.size(), path);
    return written;
  });
}

} // namespace

namespace pelmora::io {

IoResult WriteMesh(const std::string &path, const ON_Mesh &mesh)
{
  std::string error;
  const PMToolVtkEntries *entries = Entries(error);
  if (!entries)
    return IoResult::Fail("cannot write " + path + ": " + error);
  return WriteThroughModule(
      path, [&](const std::string &tempPath) { return entries->writeMesh(tempPath, mesh); });
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
  if (!entries)
    return io::IoResult::Fail("cannot render " + path + ": " + error);
  return WriteThroughModule(
      path, [&](const std::string &tempPath) { return entries->renderPreview(tempPath, scene); });
}

} // namespace pelmora::cli
