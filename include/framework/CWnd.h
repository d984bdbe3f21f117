// CWnd: a framework window object, and the message-map machinery that routes
// a window's notifications to member functions of its class.
//
// A CWnd is attached to at most one window (m_hWnd). Every operation on an
// object without a window is harmless: setters do nothing, getters return
// empty values, UpdateData returns FALSE.
#pragma once

#include "../PMExport.h"
#include "CString.h"
#include "WinTypes.h"

class CWnd;
class CDataExchange;
class PMToolkitWindow;

typedef void (CWnd::*AFX_PMSG)();

struct AFX_MSGMAP_ENTRY
{
  UINT nMessage; // WM_COMMAND; 0 ends the map
  UINT nCode;    // notification code (EN_KILLFOCUS, BN_CLICKED)
  UINT nID;      // control id
  AFX_PMSG pfn;
};

struct AFX_MSGMAP
{
  const AFX_MSGMAP *(*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY *lpEntries;
};

class PELMORA_API CWnd
{
public:
  CWnd();
  virtual ~CWnd();
  CWnd(const CWnd &) = delete;
  CWnd &operator=(const CWnd &) = delete;

  // The object attached to `hWnd`; for a handle the framework did not create
  // (a host window), a wrapper object that lives as long as the process.
  // Null for a null handle.
  static CWnd *FromHandle(HWND hWnd);
  HWND GetSafeHwnd() const { return m_hWnd; }

  void SetWindowText(const wchar_t *text);
  void GetWindowText(CString &text) const;
  // The child control with the given id, or null.
  CWnd *GetDlgItem(int id) const;
  int GetDlgCtrlID() const { return m_nItemId; }
  // Moves the keyboard focus to this window (a control of a dialog).
  CWnd *SetFocus();
  // FALSE writes the fields into the controls, TRUE reads them back. FALSE
  // when there is no window or a value could not be read.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  // A modal message box owned by this window; IDOK (or the button chosen),
  // 0 when no box could be shown.
  int MessageBoxW(const wchar_t *text, const wchar_t *caption = nullptr, UINT type = MB_OK);
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Closes the window; FALSE when there is none.
  virtual BOOL DestroyWindow();

  // Routes a WM_COMMAND (control id, notification code) through the
  // message maps of the object's class and its bases. TRUE when handled.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

  HWND m_hWnd;
  // The toolkit window this object is, or belongs to (framework use).
  PMToolkitWindow *GetToolkitWindow() const { return m_pToolkitWindow; }

protected:
  virtual void DoDataExchange(CDataExchange *pDX);
  virtual const AFX_MSGMAP *GetMessageMap() const;
  static const AFX_MSGMAP *GetThisMessageMap();

  // Attach/detach a window (used by dialogs for themselves and controls).
  void AttachWindow(HWND hWnd, PMToolkitWindow *window, int itemId);
  void DetachWindow();
  PMToolkitWindow *m_pToolkitWindow; // the toplevel window this object is, or belongs to
  int m_nItemId;                     // 0 for a toplevel window, the control id otherwise

  friend class CDialog;
  friend class CDataExchange;
  friend void DDX_Control(CDataExchange *pDX, int nIDC, CWnd &rControl);
};

// Sends a message to the window with handle hWnd (PBM_SETPOS, PBM_GETPOS,
// WM_COMMAND). 0 for an unknown handle or message.
PELMORA_API LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
  static const AFX_MSGMAP *GetThisMessageMap();                                                    \
  const AFX_MSGMAP *GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
  const AFX_MSGMAP *theClass::GetMessageMap() const                                                \
  {                                                                                                \
    return GetThisMessageMap();                                                                    \
  }                                                                                                \
  const AFX_MSGMAP *theClass::GetThisMessageMap()                                                  \
  {                                                                                                \
    typedef theClass ThisClass;                                                                    \
    typedef baseClass TheBaseClass;                                                                \
    static_assert(sizeof(ThisClass) > 0, "complete class");                                        \
    static const AFX_MSGMAP_ENTRY entries[] = {

#define ON_COMMAND(id, memberFxn)                                                                  \
  {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id),                                                  \
   static_cast<AFX_PMSG>(static_cast<void (ThisClass::*)()>(memberFxn))},
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn)                                                             \
  {WM_COMMAND, EN_KILLFOCUS, static_cast<UINT>(id),                                                \
   static_cast<AFX_PMSG>(static_cast<void (ThisClass::*)()>(memberFxn))},

#define END_MESSAGE_MAP()                                                                          \
  {                                                                                                \
    0, 0, 0, nullptr                                                                               \
  }                                                                                                \
  }                                                                                                \
  ;                                                                                                \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &entries[0]};            \
  return &messageMap;                                                                              \
  }
