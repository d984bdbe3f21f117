#include "ui/CProgressDlg.h"

#include "framework/DialogTemplate.h"

BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
END_MESSAGE_MAP()

CProgressDlg::CProgressDlg() : CDialog(IDD, nullptr), m_bCustomStatus(FALSE) {}

CProgressDlg::~CProgressDlg()
{
  DestroyWindow();
}

void CProgressDlg::SetStatus(CString text)
{
  m_bCustomStatus = text != L"" ? TRUE : FALSE;
  m_strStatus = text;
  UpdateData(FALSE);
}

void CProgressDlg::DoDataExchange(CDataExchange *pDX)
{
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PROGRESS, m_ctlProgress);
  DDX_Text(pDX, IDC_STATUS, m_strStatus);
}

const DialogTemplate &CProgressDlg::Template()
{
  static const DialogTemplate dialog{
      IDD,
      L"Progress",
      0,
      0,
      215,
      39,
      DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
      L"MS Sans Serif",
      8,
      400,
      false,
      0,
      {
          {IDC_STATUS, PM_CLASS_STATIC, L"Status", 7, 7, 201, 8,
           WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
          {IDC_PROGRESS, PM_CLASS_PROGRESS, L"", 6, 19, 202, 13, WS_CHILD | WS_VISIBLE | WS_BORDER},
      }};
  return dialog;
}
