// CProgressDlg: the modeless progress window behind PMProgress. A caption, a
// status line (control 8000) and a bar (control 8001) on template 20000.
#pragma once

#include "framework/Dialog.h"

struct DialogTemplate;

class CProgressDlg : public CDialog
{
public:
  enum
  {
    IDD = 20000,
    IDC_STATUS = 8000,
    IDC_PROGRESS = 8001
  };

  // No window: Create(IDD, owner) opens one.
  CProgressDlg();
  ~CProgressDlg() override;

  // Shows `text` in the status line at once; a non-empty text sets
  // m_bCustomStatus (PMProgress then stops writing the percentage there),
  // an empty one clears it.
  void SetStatus(CString text);

  BOOL m_bCustomStatus;
  CProgressCtrl m_ctlProgress;
  CString m_strStatus;

  // The window's template, for the library's module resources.
  static const DialogTemplate &Template();

protected:
  void DoDataExchange(CDataExchange *pDX) override;
  DECLARE_MESSAGE_MAP()
};
