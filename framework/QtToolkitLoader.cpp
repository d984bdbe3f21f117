// The Qt toolkit lives in a module, so that a process that never shows a
// window never maps Qt. The module is loaded only when Qt can be used: a
// host already runs Qt, or a display is reachable. A module that cannot be
// loaded leaves the choice to the next toolkit, as when no display is
// reachable.
#include "framework/Toolkit.h"
#include "framework/qt/QtDisplay.h"
#include "modules/ModuleLoader.h"

#include <dlfcn.h>

namespace {

bool QtInProcess()
{
  void *core = dlopen("libQt6Core.so.6", RTLD_NOW | RTLD_NOLOAD);
  if (core)
    dlclose(core);
  return core != nullptr;
}

} // namespace

PMToolkit *QtToolkitIfAvailable()
{
  if (!QtInProcess() && !QtDisplayReachable())
    return nullptr;
  std::string error;
  auto entry = reinterpret_cast<PMToolkit *(*)()>(
      pelmora::ModuleEntry("libpelmora_qt.so", "pelmora_qt_toolkit",
                           reinterpret_cast<const void *>(&QtInProcess), error));
  return entry ? entry() : nullptr;
}
