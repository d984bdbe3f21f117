#include "framework/CWnd.h"
#include "framework/Dialog.h"
#include "framework/Guarded.h"
#include "framework/Toolkit.h"

#include <map>
#include <memory>
#include <mutex>

namespace {

// Handles of windows the framework created, with their objects.
// The handles of the framework's own windows. A window belongs to the
// thread that made it, but threads that each open windows share the
// registry, so every access holds its lock.
class AttachedWindows
{
public:
  static void Add(HWND hWnd, CWnd *wnd)
  {
    const std::lock_guard<std::mutex> hold(Lock());
    Map()[hWnd] = wnd;
  }
  // Forgets hWnd if it still names `wnd`.
  static void Remove(HWND hWnd, const CWnd *wnd)
  {
    const std::lock_guard<std::mutex> hold(Lock());
    auto it = Map().find(hWnd);
    if (it != Map().end() && it->second == wnd)
      Map().erase(it);
  }
  static CWnd *Find(HWND hWnd)
  {
    const std::lock_guard<std::mutex> hold(Lock());
    auto it = Map().find(hWnd);
    return it == Map().end() ? nullptr : it->second;
  }

private:
  static std::mutex &Lock()
  {
    static std::mutex lock;
    return lock;
  }
  static std::map<HWND, CWnd *> &Map()
  {
    static std::map<HWND, CWnd *> windows;
    return windows;
  }
};

// Wrappers for handles the framework did not create (host windows), made
// under g_foreignWindowsLock.
std::mutex g_foreignWindowsLock;
std::map<HWND, std::unique_ptr<CWnd>> &ForeignWindows()
{
  static std::map<HWND, std::unique_ptr<CWnd>> windows;
  return windows;
}

} // namespace

CWnd::CWnd() : m_hWnd(nullptr), m_pToolkitWindow(nullptr), m_nItemId(0) {}

CWnd::~CWnd()
{
  DetachWindow();
}

void CWnd::AttachWindow(HWND hWnd, PMToolkitWindow *window, int itemId)
{
  DetachWindow();
  m_hWnd = hWnd;
  m_pToolkitWindow = window;
  m_nItemId = itemId;
  if (hWnd)
    AttachedWindows::Add(hWnd, this);
}

void CWnd::DetachWindow()
{
  if (m_hWnd)
    AttachedWindows::Remove(m_hWnd, this);
  m_hWnd = nullptr;
  m_pToolkitWindow = nullptr;
  m_nItemId = 0;
}

CWnd *CWnd::FromHandle(HWND hWnd)
{
  if (!hWnd)
    return nullptr;
  if (CWnd *own = AttachedWindows::Find(hWnd))
    return own;
  return pelmora::Guarded(
      [hWnd] {
        const std::lock_guard<std::mutex> hold(g_foreignWindowsLock);
        std::unique_ptr<CWnd> &wrapper = ForeignWindows()[hWnd];
        if (!wrapper) {
          wrapper = std::make_unique<CWnd>();
          wrapper->m_hWnd = hWnd;
        }
        return wrapper.get();
      },
      [](pelmora::Failure) noexcept -> CWnd * { return nullptr; });
}

void CWnd::SetWindowText(const wchar_t *text)
{
  if (!m_pToolkitWindow)
    return;
  if (m_nItemId == 0)
    m_pToolkitWindow->SetCaption(CString(text));
  else
    m_pToolkitWindow->SetItemText(m_nItemId, CString(text));
}

void CWnd::GetWindowText(CString &text) const
{
  if (!m_pToolkitWindow)
    text.Empty();
  else if (m_nItemId == 0)
    text = m_pToolkitWindow->Caption();
  else
    text = m_pToolkitWindow->ItemText(m_nItemId);
}

CWnd *CWnd::GetDlgItem(int id) const
{
  auto *dialog = dynamic_cast<const CDialog *>(this);
  return dialog ? dialog->ChildForItem(id) : nullptr;
}

CWnd *CWnd::SetFocus()
{
  if (m_pToolkitWindow && m_nItemId != 0)
    m_pToolkitWindow->FocusItem(m_nItemId);
  return nullptr;
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
  if (!m_pToolkitWindow)
    return FALSE;
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return dx.m_bFailed ? FALSE : TRUE;
}

int CWnd::MessageBoxW(const wchar_t *text, const wchar_t *caption, UINT type)
{
  // A box that cannot be shown returns 0, as a failed MessageBox does.
  return pelmora::Guarded(
      [&] {
        return PMCurrentToolkitImpl().MessageBox(m_hWnd, CString(text),
                                                 CString(caption ? caption : L"Error"), type);
      },
      [](pelmora::Failure) noexcept { return 0; });
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
  return SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::DestroyWindow()
{
  if (!m_hWnd)
    return FALSE;
  DetachWindow();
  return TRUE;
}

void CWnd::DoDataExchange(CDataExchange *) {}

const AFX_MSGMAP *CWnd::GetThisMessageMap()
{
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
  static const AFX_MSGMAP messageMap = {nullptr, &entries[0]};
  return &messageMap;
}

const AFX_MSGMAP *CWnd::GetMessageMap() const
{
  return GetThisMessageMap();
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
  const UINT id = static_cast<UINT>(wParam & 0xFFFF);
  const UINT code = static_cast<UINT>((wParam >> 16) & 0xFFFF);
  for (const AFX_MSGMAP *map = GetMessageMap(); map;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY *entry = map->lpEntries; entry->nMessage; ++entry) {
      if (entry->nMessage == WM_COMMAND && entry->nCode == code && (entry->nID & 0xFFFF) == id) {
        (this->*(entry->pfn))();
        return TRUE;
      }
    }
  }
  return FALSE;
}

LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (!hWnd)
    return 0;
  CWnd *wnd = AttachedWindows::Find(hWnd);
  if (!wnd)
    return 0;
  PMToolkitWindow *window = wnd->GetToolkitWindow();
  switch (message) {
  case PBM_SETPOS: {
    if (!window)
      return 0;
    int previous = window->ProgressPos(wnd->GetDlgCtrlID());
    window->SetProgressPos(wnd->GetDlgCtrlID(),
                           static_cast<int>(static_cast<std::intptr_t>(wParam)));
    return previous;
  }
  case PBM_GETPOS:
    return window ? window->ProgressPos(wnd->GetDlgCtrlID()) : 0;
  case WM_COMMAND:
    return wnd->OnCommand(wParam, lParam);
  default:
    return 0;
  }
}
