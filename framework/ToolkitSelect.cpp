// The choice of toolkit, resolved when the first window needs one. Threads
// that open windows at once resolve it under one lock.
#include "PMToolkit.h"
#include "framework/Guarded.h"
#include "framework/Toolkit.h"

#include <mutex>

namespace {

std::mutex g_choiceLock;

PMToolkitKind g_requested = PMToolkitKind::Automatic;
PMToolkit *g_resolved = nullptr;
PMToolkitKind g_resolvedKind = PMToolkitKind::None;

void Resolve()
{
  if (g_resolved)
    return;
  switch (g_requested) {
  case PMToolkitKind::None:
    break;
  case PMToolkitKind::Terminal:
    g_resolved = &TerminalToolkit();
    g_resolvedKind = PMToolkitKind::Terminal;
    return;
  case PMToolkitKind::Automatic:
  case PMToolkitKind::Qt:
    // Automatic shows windows only where someone can see them.
    if ((g_resolved = QtToolkitIfAvailable(g_requested == PMToolkitKind::Automatic))) {
      g_resolvedKind = PMToolkitKind::Qt;
      return;
    }
    break;
  }
  g_resolved = &NoneToolkit();
  g_resolvedKind = PMToolkitKind::None;
}

} // namespace

void PMSelectToolkit(PMToolkitKind kind)
{
  pelmora::Guarded([kind] {
    const std::lock_guard<std::mutex> hold(g_choiceLock);
    g_requested = kind;
    g_resolved = nullptr;
  });
}

PMToolkit &PMCurrentToolkitImpl()
{
  return *pelmora::Guarded(
      [] {
        const std::lock_guard<std::mutex> hold(g_choiceLock);
        Resolve();
        return g_resolved;
      },
      [](pelmora::Failure) noexcept -> PMToolkit * { return &NoneToolkit(); });
}

PMToolkitKind PMCurrentToolkit()
{
  return pelmora::Guarded(
      [] {
        const std::lock_guard<std::mutex> hold(g_choiceLock);
        Resolve();
        return g_resolvedKind;
      },
      [](pelmora::Failure) noexcept { return PMToolkitKind::None; });
}
