// The library's wrap operations load the wrap module on first use, so that
// VTK and qhull are mapped only by processes that wrap. A module that
// cannot be loaded fails the call with the error text naming it.
#include "PMSurface.h"
#include "modules/ModuleLoader.h"
#include "wrap/WrapModule.h"

namespace {

const PMWrapEntries *Entries()
{
  std::string error;
  auto entry = reinterpret_cast<const PMWrapEntries *(*)()>(pelmora::ModuleEntry(
      PELMORA_WRAP_MODULE, PELMORA_WRAP_ENTRIES, reinterpret_cast<const void *>(&Entries), error));
  if (!entry) {
    PMSurface::SetError(CString::FromUtf8(error));
    return nullptr;
  }
  return entry();
}

} // namespace

int PMSurface::WrapMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int concave, int showProgress)
{
  const PMWrapEntries *entries = Entries();
  return entries ? entries->wrapMesh(mesh, points, concave, showProgress) : 0;
}

int PMSurface::WrapConcaveMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress)
{
  const PMWrapEntries *entries = Entries();
  return entries ? entries->wrapConcaveMesh(mesh, points, showProgress) : 0;
}

int PMSurface::WrapConvexMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress)
{
  const PMWrapEntries *entries = Entries();
  return entries ? entries->wrapConvexMesh(mesh, points, showProgress) : 0;
}

int PMSurface::WrapWatertightMesh(ON_Mesh &mesh, const ON_3dPointArray &points, double detail,
                                  int showProgress)
{
  const PMWrapEntries *entries = Entries();
  return entries ? entries->wrapWatertightMesh(mesh, points, detail, showProgress) : 0;
}

double PMSurface::SuggestWrapDetail(const ON_3dPointArray &points)
{
  const PMWrapEntries *entries = Entries();
  return entries ? entries->suggestWrapDetail(points) : 0.0;
}
