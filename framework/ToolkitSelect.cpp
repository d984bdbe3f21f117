// The choice of toolkit, resolved when the first window needs one.
#include "PMToolkit.h"
#include "framework/Guarded.h"
#include "framework/Toolkit.h"

namespace {

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
    if ((g_resolved = QtToolkitIfAvailable())) {
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
  g_requested = kind;
  g_resolved = nullptr;
}

PMToolkitKind PMCurrentToolkit()
{
  pelmora::Guarded(Resolve, [](pelmora::Failure) noexcept {
    g_resolved = &NoneToolkit();
    g_resolvedKind = PMToolkitKind::None;
  });
  return g_resolvedKind;
}

PMToolkit &PMCurrentToolkitImpl()
{
  PMCurrentToolkit();
  return *g_resolved;
}
