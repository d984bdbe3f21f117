// PMProgress: a modeless progress window with a title, a status line and a
// percentage bar.
//
// The percentage shown is trunc(current / (max - min) * 100) (current is not
// reduced by min); without a status text the status line reads
// "N % complete", with one it shows that text. The bar keeps to 0..100, the
// text shows the percentage as it is (150 % complete, -20 % complete).
//
// Constructing a reporter creates no window and touches no window toolkit;
// StartProgress opens one (owner: the parent window, or the calling thread's
// main window when it is null), EndProgress closes it, and the reporter can
// be started again.
//
// Where the window cannot help, the reporter stays harmless:
//   - max equal to min (or a NaN value) shows 0; percentages beyond int are
//     clamped to the int range before conversion;
//   - calls while no window is open only store their value (StartProgress
//     applies title, status and SetCurrent(min));
//   - StartProgress while open keeps the one window and starts it over;
//   - when no window can be made (no display, no terminal), every call only
//     keeps the fields.
// An update that does not change the shown percentage costs a comparison;
// one that does repaints the window at once, without processing events.
// No operation throws.
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
  void SetCurrent(double value)
  {
    m_dCurrent = value;
    if (!(value >= m_dSameLow && value <= m_dSameHigh)) // else the shown percentage stays
      ShowCurrent();
  }
  void StepIt(double step);
  double GetCurrent() const;
  void EndProgress();

private:
  bool IsOpen() const;
  void ShowCurrent();     // bar and status line for m_dCurrent, when they change
  void ForgetShown();     // the next update draws again
  void ForgetSameRange(); // the next update computes its percentage again

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
