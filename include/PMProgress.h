// PMProgress: a modeless progress window with a title, a status line and a
// percentage bar.
//
// The percentage shown is trunc(current / (max - min) * 100); without a
// status text the status line reads "N % complete". Constructing a reporter
// creates no window; StartProgress opens one, EndProgress closes it.
#pragma once

#include "PMExport.h"
#include "PMFramework.h"

class CProgressDlg;

class PELMORA_API PMProgress
{
public:
  PMProgress();
  PMProgress(CString title, CString status, double min, double max, CWnd *parent);
  ~PMProgress();
  PMProgress(const PMProgress &) = delete;
  PMProgress &operator=(const PMProgress &) = delete;

  void SetTitle(CString title);
  CString GetTitle() const;
  void SetStatus(CString status);
  CString GetStatus() const;
  void SetMin(double min);
  double GetMin() const;
  void SetMax(double max);
  double GetMax() const;
  void SetParentWnd(CWnd *parent);
  CWnd *GetParentWnd() const;

  void StartProgress();
  void SetCurrent(double value);
  void StepIt(double step);
  double GetCurrent() const;
  void EndProgress();

private:
  bool IsOpen() const;
  void ShowCurrent(); // bar and status line for m_dCurrent, when they change
  void ForgetShown(); // the next update draws again

  CProgressDlg *m_pDialog; // owned, made at the first start; its window exists only while started
  CString m_strTitle;
  CString m_strStatus;
  double m_dMin;
  double m_dMax;
  double m_dCurrent;
  CWnd *m_pParentWnd;
  int m_nShownPercent; // last percentage pushed to the window
  // Every value in [m_dSameLow, m_dSameHigh] shows m_nShownPercent (empty
  // when low > high): updates inside it change nothing on the screen.
  double m_dSameLow;
  double m_dSameHigh;
};
