// Conversion between window handles and Qt widgets, for Qt hosts. With the Qt
// toolkit a window handle is the address of the widget.
#pragma once

#include "WinTypes.h"

class QWidget;

inline HWND HwndFromWidget(QWidget *widget)
{
  return reinterpret_cast<HWND>(widget);
}
inline QWidget *WidgetFromHwnd(HWND hWnd)
{
  return reinterpret_cast<QWidget *>(hWnd);
}
