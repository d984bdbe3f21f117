// Dialogs built from templates, dialog data exchange and the progress bar
// control.
#pragma once

#include "framework/CWnd.h"
#include "framework/Toolkit.h"

#include <map>
#include <memory>
#include <vector>

struct DialogTemplate;

// A window built from a dialog template of the current module state: modal
// (DoModal) or modeless (Create). The object may outlive its window and open
// a new one afterwards.
class CDialog : public CWnd, private PMWindowEvents
{
public:
  explicit CDialog(UINT nIDTemplate, CWnd *pParentWnd = nullptr);
  ~CDialog() override;

  // Modeless window from the template, owned by pParentWnd (or the parent
  // given at construction). TRUE when the window exists. The controls are
  // filled by OnInitDialog before the call returns.
  BOOL Create(UINT nIDTemplate, CWnd *pParentWnd = nullptr);
  // Runs the window modally: IDOK, IDCANCEL (or EndDialog's code), -1 when
  // the window cannot be made.
  virtual INT_PTR DoModal();
  void EndDialog(int nResult);
  BOOL DestroyWindow() override;

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

  DECLARE_MESSAGE_MAP()

private:
  void OnToolkitCommand(int itemId, UINT code) override;
  BOOL OpenWindow(UINT nIDTemplate, CWnd *pParentWnd, bool modal);
  void CloseWindow();
  // Detaches and forgets every child object attached to this window.
  void ReleaseChildren();

  UINT m_nIDTemplate;
  CWnd *m_pParentWnd;
  std::unique_ptr<PMToolkitWindow> m_window;
  std::vector<CWnd *> m_attachedChildren;               // DDX_Control members
  mutable std::map<int, std::unique_ptr<CWnd>> m_items; // GetDlgItem wrappers
  bool m_bModal = false;
  bool m_bInCommand = false;
  bool m_bCloseRequested = false;

  CWnd *ChildForItem(int itemId) const;
  friend class CWnd;
  friend void DDX_Control(CDataExchange *pDX, int nIDC, CWnd &rControl);
};

// Draws all changes made to a window during its lifetime in one repaint,
// at its end (a percentage bar and its text, for instance).
class CRepaintBatch
{
public:
  explicit CRepaintBatch(CWnd &wnd) : m_window(wnd.GetToolkitWindow())
  {
    if (m_window)
      m_window->HoldRepaints(true);
  }
  ~CRepaintBatch()
  {
    if (m_window)
      m_window->HoldRepaints(false);
  }
  CRepaintBatch(const CRepaintBatch &) = delete;
  CRepaintBatch &operator=(const CRepaintBatch &) = delete;

private:
  PMToolkitWindow *m_window;
};

// One pass of data exchange between a dialog's fields and its controls.
class CDataExchange
{
public:
  CDataExchange(CWnd *pDlgWnd, BOOL bSaveAndValidate)
      : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
  {
  }
  // Reports a value that cannot be read (message box owned by the dialog,
  // focus back to the control) and stops the rest of the exchange.
  void Fail(int nIDC, const wchar_t *message);

  BOOL m_bSaveAndValidate;
  CWnd *m_pDlgWnd;
  bool m_bFailed = false;
};

// Text exchange: writing formats the field ("%d", "%.15g"); reading parses
// the whole text (surrounding blanks allowed) and fails with
// "Please enter an integer." / "Please enter a number." otherwise.
void DDX_Text(CDataExchange *pDX, int nIDC, int &value);
void DDX_Text(CDataExchange *pDX, int nIDC, double &value);
void DDX_Text(CDataExchange *pDX, int nIDC, CString &value);
// Attaches rControl to the control with id nIDC (once per window).
void DDX_Control(CDataExchange *pDX, int nIDC, CWnd &rControl);

// A progress bar control ("msctls_progress32"), range 0 to 100.
class CProgressCtrl : public CWnd
{
public:
  int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, WPARAM(nPos), 0)); }
  int GetPos() { return static_cast<int>(SendMessage(PBM_GETPOS, 0, 0)); }
};
