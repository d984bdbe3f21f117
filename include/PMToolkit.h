// PMToolkit: choosing how the library's windows are shown.
//
//   Automatic  Qt when a QApplication exists or a display is usable (the
//              library then creates its own QApplication), otherwise None.
//              On a platform whose windows nobody sees (offscreen,
//              minimal) modal windows do not open, as without a display,
//              so that none waits forever for an answer; an X display
//              counts only when it completes the connection handshake
//              within a few seconds.
//   Qt         real Qt widgets (also offscreen); falls back to None when no
//              display is usable.
//   Terminal   the progress window as one live line on standard error; modal
//              dialogs as a form of prompts when standard input is a terminal.
//   None       no window ever opens: modal dialogs end at once with -1,
//              progress windows do not appear.
// The choice is resolved when the first window is opened, never earlier.
#pragma once

#include "PMExport.h"

enum class PMToolkitKind
{
  Automatic,
  Qt,
  Terminal,
  None
};

PELMORA_API void PMSelectToolkit(PMToolkitKind kind);
// The toolkit in use (resolving Automatic now, which may create a QApplication).
PELMORA_API PMToolkitKind PMCurrentToolkit();
