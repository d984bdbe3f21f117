// The shared library is the folder libraries linked whole; this file gives
// the target a source of its own and checks that the public headers compile
// on their own, each without the others.
#include "PMProgress.h"
#include "PMSurface.h"
#include "PMToolkit.h"
#include "opennurbs.h"
