#include "framework/Dialog.h"

#include "framework/AfxModule.h"
#include "framework/DialogTemplate.h"
#include "framework/Guarded.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd *pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
  CloseWindow();
}

BOOL CDialog::OpenWindow(UINT nIDTemplate, CWnd *pParentWnd, bool modal)
{
  if (m_window)
    return FALSE;
  const AFX_MODULE_STATE *module = AfxGetModuleState();
  const DialogTemplate *dialog = module ? module->FindTemplate(nIDTemplate) : nullptr;
  if (!dialog)
    return FALSE;
  pelmora::Guarded(
      [&] {
        CWnd *owner = pParentWnd ? pParentWnd : m_pParentWnd;
        m_window = PMCurrentToolkitImpl().CreateDialogWindow(
            *dialog, owner ? owner->m_hWnd : nullptr, modal, *this);
      },
      [this](pelmora::Failure) noexcept { m_window.reset(); });
  if (!m_window)
    return FALSE;
  m_nIDTemplate = nIDTemplate;
  m_bModal = modal;
  m_bCloseRequested = false;
  AttachWindow(m_window->Handle(), m_window.get(), 0);
  return TRUE;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd *pParentWnd)
{
  if (!OpenWindow(nIDTemplate, pParentWnd, false))
    return FALSE;
  OnInitDialog();
  const DialogTemplate *dialog = AfxGetModuleState()->FindTemplate(nIDTemplate);
  if (m_window && dialog && (dialog->style & WS_VISIBLE))
    m_window->Show();
  return m_window ? TRUE : FALSE;
}

INT_PTR CDialog::DoModal()
{
  if (!OpenWindow(m_nIDTemplate, nullptr, true))
    return -1;
  OnInitDialog();
  int result = m_window ? m_window->RunModal() : -1;
  CloseWindow();
  return result;
}

void CDialog::EndDialog(int nResult)
{
  if (m_window && m_bModal)
    m_window->EndModal(nResult);
  else if (m_window)
    DestroyWindow();
}

BOOL CDialog::DestroyWindow()
{
  if (!m_window)
    return FALSE;
  if (m_bInCommand) { // closing from inside one of our own handlers: finish it first
    m_bCloseRequested = true;
    return TRUE;
  }
  CloseWindow();
  return TRUE;
}

void CDialog::CloseWindow()
{
  ReleaseChildren();
  DetachWindow();
  m_window.reset();
}

void CDialog::ReleaseChildren()
{
  for (CWnd *child : m_attachedChildren)
    child->DetachWindow();
  m_attachedChildren.clear();
  m_items.clear();
}

BOOL CDialog::OnInitDialog()
{
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK()
{
  if (!UpdateData(TRUE))
    return;
  EndDialog(IDOK);
}

void CDialog::OnCancel()
{
  EndDialog(IDCANCEL);
}

void CDialog::OnToolkitCommand(int itemId, UINT code)
{
  const bool nested = m_bInCommand;
  m_bInCommand = true;
  // Nothing a handler throws may reach the toolkit's event loop.
  pelmora::Guarded([&] { OnCommand(static_cast<WPARAM>((itemId & 0xFFFF) | (code << 16)), 0); });
  m_bInCommand = nested;
  if (!nested && m_bCloseRequested && !m_bModal)
    CloseWindow();
}

CWnd *CDialog::ChildForItem(int itemId) const
{
  if (!m_window || itemId == 0)
    return nullptr;
  for (CWnd *child : m_attachedChildren)
    if (child->m_nItemId == itemId)
      return child;
  HWND handle = m_window->ItemHandle(itemId);
  if (!handle)
    return nullptr;
  std::unique_ptr<CWnd> &item = m_items[itemId];
  if (!item) {
    item = std::make_unique<CWnd>();
    item->AttachWindow(handle, m_window.get(), itemId);
  }
  return item.get();
}

void CDataExchange::Fail(int nIDC, const wchar_t *message)
{
  if (m_bFailed)
    return;
  m_bFailed = true;
  m_pDlgWnd->MessageBoxW(message, L"Error", MB_ICONEXCLAMATION);
  if (CWnd *control = m_pDlgWnd->GetDlgItem(nIDC))
    control->SetFocus();
}

void DDX_Control(CDataExchange *pDX, int nIDC, CWnd &rControl)
{
  auto *dialog = dynamic_cast<CDialog *>(pDX->m_pDlgWnd);
  if (!dialog || !dialog->m_window || rControl.m_hWnd)
    return;
  HWND handle = dialog->m_window->ItemHandle(nIDC);
  if (!handle)
    return;
  dialog->m_items.erase(nIDC);
  rControl.AttachWindow(handle, dialog->m_window.get(), nIDC);
  dialog->m_attachedChildren.push_back(&rControl);
}
