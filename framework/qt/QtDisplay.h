// Whether Qt can get a screen without aborting the process.
#pragma once

#include "PMExport.h"

// True when the platform Qt would use is reachable: the offscreen or minimal
// platform, an X server accepting connections at $DISPLAY, or a Wayland
// socket when the platform asked for is Wayland.
PELMORA_API bool QtDisplayReachable();
