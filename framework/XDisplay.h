// A connection to an X display that cannot hang or abort its caller: the
// check made before Qt or VTK are asked for a screen (both abort the
// process when the display they are given is no usable X server).
//
// Internal to the project (not installed): exported from the shared library
// only so that the pelmora tool can open its preview display the same way.
#pragma once

#include "PMExport.h"

struct _XDisplay; // Xlib's Display

namespace pelmora {

// How long a display may take to complete the connection handshake.
constexpr int kXDisplayTimeoutMilliseconds = 3000;

// Opens the X display `name` (null: $DISPLAY) and returns the connection,
// or null when none is made within `timeoutMilliseconds`: no DISPLAY, no
// libX11, nothing listening, a socket that accepts but speaks no X, a
// server that refuses or does not answer. The connection is made on a
// helper thread; one that does not answer in time is left to that thread,
// which closes whatever it finally gets. Never throws.
PELMORA_API _XDisplay *OpenXDisplay(const char *name,
                                    int timeoutMilliseconds = kXDisplayTimeoutMilliseconds);

// Closes a connection from OpenXDisplay (null: nothing happens).
PELMORA_API void CloseXDisplay(_XDisplay *display);

} // namespace pelmora
