#include "TestDialog.h"

#include "framework/DialogTemplate.h"

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
ON_EN_KILLFOCUS(IDC_COUNT, &CTestDlg::OnKillfocusCount)
END_MESSAGE_MAP()

void CTestDlg::DoDataExchange(CDataExchange *pDX)
{
  DDX_Text(pDX, IDC_COUNT, m_nCount);
  DDX_Text(pDX, IDC_SIZE, m_dSize);
  DDX_Text(pDX, IDC_NAME, m_strName);
}

void CTestDlg::OnKillfocusCount()
{
  ++m_nKillFocusCount;
  UpdateData(TRUE);
  if (m_nCount > 0)
    return;
  m_bWarned = true;
  MessageBoxW(L"Please enter a positive count", L"Warning", MB_ICONEXCLAMATION);
  GetDlgItem(IDC_COUNT)->SetFocus();
}

AFX_MODULE_STATE *CTestDlg::Module()
{
  constexpr UINT edit = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  constexpr UINT text = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
  // clang-format off
  static const DialogTemplate dialog{
      IDD, L"Test Parameters", 0, 0, 200, 120,
      DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
      L"MS Sans Serif", 8, 400, false, 0,
      {{IDC_COUNT, PM_CLASS_EDIT, L"", 80, 30, 40, 12, edit},
       {IDC_SIZE, PM_CLASS_EDIT, L"", 80, 45, 40, 12, edit},
       {IDC_NAME, PM_CLASS_EDIT, L"", 80, 60, 40, 12, edit},
       {IDOK, PM_CLASS_BUTTON, L"&OK", 80, 100, 40, 13,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
       {IDCANCEL, PM_CLASS_BUTTON, L"&Cancel", 130, 100, 40, 13,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
       {-1, PM_CLASS_STATIC, L"Enter the values below.", 7, 7, 180, 8, text},
       {-1, PM_CLASS_STATIC, L"Count", 7, 31, 50, 8, text},
       {-1, PM_CLASS_STATIC, L"Size", 7, 46, 50, 8, text},
       {-1, PM_CLASS_STATIC, L"Name", 7, 61, 50, 8, text},
       {-1, PM_CLASS_STATIC, L"", 7, 90, 180, 1, WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ}}};
  // clang-format on
  static AFX_MODULE_STATE module;
  module.RegisterTemplate(dialog);
  return &module;
}
