// CSurfaceParametersDlg: the modal "Surface Parameters" window on template
// 20001, in which the user confirms the rows and columns of the surface to
// be built and enters the probe diameter.
//
// The three fields are exchanged with their edit boxes as text; nothing is
// range-checked on OK. When the rows or columns box loses the focus with a
// value that is not positive, a "Warning" box says so and the focus goes
// back to that box; the value itself is kept.
#pragma once

#include "framework/Dialog.h"

struct DialogTemplate;

class CSurfaceParametersDlg : public CDialog
{
public:
  enum
  {
    IDD = 20001,
    IDC_ROWS = 23000,
    IDC_COLS = 23001,
    IDC_PROBE_DIAMETER = 23002
  };

  explicit CSurfaceParametersDlg(CWnd *pParent = nullptr);
  ~CSurfaceParametersDlg() override;

  int m_nCols;
  double m_dProbeDiameter;
  int m_nRows;

  // OnInitDialog and OnOK are CDialog's: fill the boxes, read them back.

  // The window's template, for the library's module resources.
  static const DialogTemplate &Template();

protected:
  // Columns, then probe diameter, then rows.
  void DoDataExchange(CDataExchange *pDX) override;

  void OnKillfocusRows();
  void OnKillfocusCols();

  DECLARE_MESSAGE_MAP()

private:
  // Reads all boxes; when `value` is not positive, warns with `text` and
  // gives the focus back to box `id`.
  void WarnUnlessPositive(const int &value, const wchar_t *text, int id);
};
