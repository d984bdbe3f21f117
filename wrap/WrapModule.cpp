// The entry point of the wrap module.
#include "PMSurface.h"
#include "wrap/WrapModule.h"

extern "C" PELMORA_API const PMWrapEntries *pelmora_wrap_entries()
{
  static const PMWrapEntries entries{&PMSurface::WrapMesh, &PMSurface::WrapConcaveMesh,
                                     &PMSurface::WrapConvexMesh, &PMSurface::WrapWatertightMesh,
                                     &PMSurface::SuggestWrapDetail};
  return &entries;
}
