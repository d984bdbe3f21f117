// The seam between the framework's window objects and the toolkit that shows
// them. One implementation per kind of screen: Qt, Terminal, None.
#pragma once

#include "framework/CString.h"
#include "framework/WinTypes.h"

#include <memory>

struct DialogTemplate;

// What a toolkit window reports back to the framework object it belongs to.
class PMWindowEvents
{
public:
  virtual ~PMWindowEvents() = default;
  // A control notification (WM_COMMAND): button clicks, EN_KILLFOCUS.
  virtual void OnToolkitCommand(int itemId, UINT code) = 0;
};

// A window built from a dialog template. Item ids are the template's.
class PMToolkitWindow
{
public:
  virtual ~PMToolkitWindow() = default;
  virtual HWND Handle() const = 0;
  virtual HWND ItemHandle(int itemId) const = 0; // null for an unknown id
  virtual void SetCaption(const CString &text) = 0;
  virtual CString Caption() const = 0;
  virtual void SetItemText(int itemId, const CString &text) = 0;
  virtual CString ItemText(int itemId) const = 0;
  // Position of a progress bar; shown clamped to its range (ClampedProgress).
  virtual void SetProgressPos(int itemId, int pos) = 0;
  virtual int ProgressPos(int itemId) const = 0;
  virtual void FocusItem(int itemId) = 0;
  // Shows a modeless window (after its controls were filled).
  virtual void Show() = 0;
  // While held (calls nest), changes are collected and drawn in one
  // synchronous repaint when the last hold is released.
  virtual void HoldRepaints(bool hold) = 0;
  // Runs a modal window until EndModal; returns EndModal's code (-1 when the
  // window cannot run).
  virtual int RunModal() = 0;
  virtual void EndModal(int code) = 0;
};

// The two fields of a message box's type: its buttons (MB_OK, MB_OKCANCEL)
// and its icon (MB_ICON...).
constexpr UINT MB_TYPEMASK = 0x0Fu;
constexpr UINT MB_ICONMASK = 0xF0u;

// Positions of progress bars run from 0 to this; others are shown clamped.
constexpr int kProgressRange = 100;
inline int ClampedProgress(int pos)
{
  return pos < 0 ? 0 : pos > kProgressRange ? kProgressRange : pos;
}

class PMToolkit
{
public:
  virtual ~PMToolkit() = default;
  // A window for the template, owned by `owner` (may be null); null when the
  // window cannot be made. The window is not shown yet.
  virtual std::unique_ptr<PMToolkitWindow> CreateDialogWindow(const DialogTemplate &dialog,
                                                              HWND owner, bool modal,
                                                              PMWindowEvents &events) = 0;
  // A modal message box of `type` (buttons and icon, MB_...); the button
  // chosen (IDOK...), 0 when none can be shown.
  virtual int MessageBox(HWND owner, const CString &text, const CString &caption, UINT type) = 0;
};

// The toolkit chosen by PMSelectToolkit (Automatic resolved on first use).
PMToolkit &PMCurrentToolkitImpl();

// Implementations.
PMToolkit &NoneToolkit();
PMToolkit &TerminalToolkit();
// The Qt toolkit, or null when no QApplication exists and no display is
// usable. Creates a QApplication when none exists. With `visibleOnly`, modal
// windows and message boxes do not open on a platform whose windows nobody
// sees (offscreen, minimal), as without a display.
PMToolkit *QtToolkitIfAvailable(bool visibleOnly);
