// The library's own module state: its application object and the dialog
// templates of its resources. Installed with AFX_MAINTAIN_STATE2 by every
// entry point that opens a window from those templates.
#pragma once

#include "framework/AfxModule.h"

AFX_MODULE_STATE *LibraryModuleState();
