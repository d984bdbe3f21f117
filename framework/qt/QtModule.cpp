// The entry point of the Qt toolkit module.
#include "PMExport.h"
#include "framework/Toolkit.h"

extern "C" PELMORA_API PMToolkit *pelmora_qt_toolkit(bool visibleOnly)
{
  return QtToolkitIfAvailable(visibleOnly);
}
