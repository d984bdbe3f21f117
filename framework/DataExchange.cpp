#include "framework/Dialog.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cwchar>
#include <cwctype>

namespace {

// The text of control nIDC of the exchanging dialog.
CString ItemText(CDataExchange *pDX, int nIDC)
{
  CString text;
  if (CWnd *control = pDX->m_pDlgWnd->GetDlgItem(nIDC))
    control->GetWindowText(text);
  return text;
}

void SetItemText(CDataExchange *pDX, int nIDC, const CString &text)
{
  if (CWnd *control = pDX->m_pDlgWnd->GetDlgItem(nIDC))
    control->SetWindowText(text);
}

bool OnlyBlanks(const wchar_t *p)
{
  while (*p && std::iswspace(static_cast<wint_t>(*p)))
    ++p;
  return *p == L'\0';
}

bool ParseInt(const CString &text, int &value)
{
  const wchar_t *begin = text.GetString();
  wchar_t *end = nullptr;
  errno = 0;
  long parsed = std::wcstol(begin, &end, 10);
  if (end == begin || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX || !OnlyBlanks(end))
    return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseDouble(const CString &text, double &value)
{
  const wchar_t *begin = text.GetString();
  wchar_t *end = nullptr;
  errno = 0;
  double parsed = std::wcstod(begin, &end);
  if (end == begin || !std::isfinite(parsed) || !OnlyBlanks(end))
    return false;
  value = parsed;
  return true;
}

} // namespace

void DDX_Text(CDataExchange *pDX, int nIDC, int &value)
{
  if (!pDX || pDX->m_bFailed)
    return;
  if (pDX->m_bSaveAndValidate) {
    if (!ParseInt(ItemText(pDX, nIDC), value))
      pDX->Fail(nIDC, L"Please enter an integer.");
    return;
  }
  CString text;
  text.Format(L"%d", value);
  SetItemText(pDX, nIDC, text);
}

void DDX_Text(CDataExchange *pDX, int nIDC, double &value)
{
  if (!pDX || pDX->m_bFailed)
    return;
  if (pDX->m_bSaveAndValidate) {
    if (!ParseDouble(ItemText(pDX, nIDC), value))
      pDX->Fail(nIDC, L"Please enter a number.");
    return;
  }
  CString text;
  text.Format(L"%.15g", value);
  SetItemText(pDX, nIDC, text);
}

void DDX_Text(CDataExchange *pDX, int nIDC, CString &value)
{
  if (!pDX || pDX->m_bFailed)
    return;
  if (pDX->m_bSaveAndValidate)
    value = ItemText(pDX, nIDC);
  else
    SetItemText(pDX, nIDC, value);
}
