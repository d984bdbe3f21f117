// The framework types that cross the library's boundary: wide text
// (CString), window handles (HWND) and framework windows (CWnd).
#pragma once

#include "framework/CString.h"
#include "framework/CWnd.h"
