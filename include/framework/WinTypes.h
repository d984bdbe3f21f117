// Basic types and constants of the host framework's window interface.
#pragma once

#include <cstdint>

typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
typedef unsigned int UINT;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;
typedef std::intptr_t INT_PTR;

// Opaque window handle. With the Qt toolkit it is the address of the QWidget
// (see framework/QtHandle.h); with the other toolkits an internal object.
typedef struct HWND__ *HWND;

// Dialog results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Message boxes: buttons and icons.
constexpr UINT MB_OK = 0x00;
constexpr UINT MB_OKCANCEL = 0x01;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;

// Messages and notification codes.
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT BN_CLICKED = 0x0000;
constexpr UINT EN_KILLFOCUS = 0x0200;
constexpr UINT PBM_SETPOS = 0x0402;
constexpr UINT PBM_GETPOS = 0x0408;
