#include "ui/SurfaceParametersDlg.h"

#include "framework/DialogTemplate.h"

BEGIN_MESSAGE_MAP(CSurfaceParametersDlg, CDialog)
ON_EN_KILLFOCUS(CSurfaceParametersDlg::IDC_ROWS, &CSurfaceParametersDlg::OnKillfocusRows)
ON_EN_KILLFOCUS(CSurfaceParametersDlg::IDC_COLS, &CSurfaceParametersDlg::OnKillfocusCols)
END_MESSAGE_MAP()

CSurfaceParametersDlg::CSurfaceParametersDlg(CWnd *pParent)
    : CDialog(IDD, pParent), m_nCols(0), m_dProbeDiameter(0.0), m_nRows(0)
{
}

CSurfaceParametersDlg::~CSurfaceParametersDlg() = default;

void CSurfaceParametersDlg::DoDataExchange(CDataExchange *pDX)
{
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_COLS, m_nCols);
  DDX_Text(pDX, IDC_PROBE_DIAMETER, m_dProbeDiameter);
  DDX_Text(pDX, IDC_ROWS, m_nRows);
}

void CSurfaceParametersDlg::OnKillfocusRows()
{
  WarnUnlessPositive(m_nRows, L"Please enter a positive value for number of rows", IDC_ROWS);
}

void CSurfaceParametersDlg::OnKillfocusCols()
{
  WarnUnlessPositive(m_nCols, L"Please enter a positive value for number of columns", IDC_COLS);
}

void CSurfaceParametersDlg::WarnUnlessPositive(const int &value, const wchar_t *text, int id)
{
  UpdateData(TRUE);
  if (value > 0)
    return;
  MessageBoxW(text, L"Warning", MB_ICONEXCLAMATION);
  if (CWnd *box = GetDlgItem(id))
    box->SetFocus();
}

const DialogTemplate &CSurfaceParametersDlg::Template()
{
  constexpr UINT edit = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  constexpr UINT text = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
  static const DialogTemplate dialog{
      IDD,
      L"Surface Parameters",
      0,
      0,
      247,
      166,
      DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
      L"MS Sans Serif",
      8,
      400,
      false,
      0,
      {
          {IDC_ROWS, PM_CLASS_EDIT, L"", 77, 54, 43, 12, edit},
          {IDC_COLS, PM_CLASS_EDIT, L"", 77, 69, 43, 12, edit},
          {IDC_PROBE_DIAMETER, PM_CLASS_EDIT, L"", 77, 118, 43, 12, edit},
          {IDOK, PM_CLASS_BUTTON, L"&OK", 77, 146, 43, 13,
           WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
          {IDCANCEL, PM_CLASS_BUTTON, L"&Cancel", 127, 146, 43, 13,
           WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
          {-1, PM_CLASS_STATIC,
           L"Please specify the number of rows (horizontal) and columns (vertical) that the "
           L"resulting surface should have.",
           7, 7, 233, 18, text},
          {-1, PM_CLASS_STATIC, L"Number of rows", 7, 55, 51, 8, text},
          {-1, PM_CLASS_STATIC, L"Number of columns", 7, 69, 62, 8, text},
          {-1, PM_CLASS_STATIC,
           L"If the points were recorded using a touch probe digitizer you may want to adjust "
           L"the resulting surface to compensate for the probe diameter.",
           7, 87, 233, 16, text},
          {-1, PM_CLASS_STATIC, L"Probe diameter", 7, 119, 49, 8, text},
          {-1, PM_CLASS_STATIC, L"", 7, 137, 232, 1, WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ},
          {-1, PM_CLASS_STATIC,
           L"Note: The values calculated below assume that the points are evenly distributed. "
           L"If this is not the case you may want to reduce the values to get a smoother "
           L"surface.",
           7, 24, 233, 27, text},
          {-1, PM_CLASS_STATIC, L"Note: A value of zero will not adjust the resulting surface.", 7,
           106, 182, 8, text},
      }};
  return dialog;
}
