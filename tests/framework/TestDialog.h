// A small dialog for the framework tests: an intro text, three edit boxes
// exchanged as int, double and text, OK and Cancel, and a kill-focus check
// on the count box like the one the library's parameters window makes.
#pragma once

#include "framework/AfxModule.h"
#include "framework/Dialog.h"

class CTestDlg : public CDialog
{
public:
  enum
  {
    IDD = 31000,
    IDC_COUNT = 101,
    IDC_SIZE = 102,
    IDC_NAME = 103
  };

  CTestDlg() : CDialog(IDD, nullptr) {}

  int m_nCount = 3;
  double m_dSize = 1.5;
  CString m_strName = L"abc";
  int m_nKillFocusCount = 0;
  bool m_bWarned = false;

  // A module state holding the template, to be installed around DoModal.
  static AFX_MODULE_STATE *Module();

protected:
  void DoDataExchange(CDataExchange *pDX) override;
  void OnKillfocusCount();
  DECLARE_MESSAGE_MAP()
};
