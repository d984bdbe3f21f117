// Placeholder until the framework's window class lands.
#pragma once
typedef struct HWND__ *HWND;
class CWnd;
