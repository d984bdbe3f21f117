// The Qt toolkit lives in a module, so that a process that never shows a
// window never maps Qt. The module is loaded only when Qt can be used: a
// host already runs Qt, or a display is usable (QtScreenCheck). A module
// that cannot be loaded leaves the choice to the next toolkit, as when no
// display is usable.
#include "framework/Toolkit.h"
#include "framework/qt/QtDisplay.h"
#include "modules/ModuleLoader.h"

#include <dlfcn.h>
#include <memory>

namespace {

bool QtInProcess()
{
  void *core = dlopen("libQt6Core.so.6", RTLD_NOW | RTLD_NOLOAD);
  if (core)
    dlclose(core);
  return core != nullptr;
}

} // namespace

PMToolkit *QtToolkitIfAvailable(bool visibleOnly)
{
  // The check's X connection stays open until the module has made Qt's.
  std::unique_ptr<QtScreenCheck> screen;
  if (!QtInProcess()) {
    screen = std::make_unique<QtScreenCheck>();
    if (!screen->Usable())
      return nullptr;
  }
  std::string error;
  auto entry = reinterpret_cast<PMToolkit *(*)(bool)>(
      pelmora::ModuleEntry("libpelmora_qt.so", "pelmora_qt_toolkit",
                           reinterpret_cast<const void *>(&QtInProcess), error));
  return entry ? entry(visibleOnly) : nullptr;
}
