#include "PMProgress.h"

#include "framework/Guarded.h"
#include "framework/WinApp.h"
#include "ui/CProgressDlg.h"
#include "ui/LibraryModule.h"

#include <climits>
#include <cmath>
#include <new>

namespace {

// Nothing has been shown yet: the next update writes bar and text.
constexpr int kNothingShown = INT_MIN;

// A bound on the halvings of LastWithPercent: the interval stops shrinking
// far sooner (a double has 64 bits), so the bound only guards the loop.
constexpr int kMaxHalvings = 200;

// trunc(current / (max - min) * 100) as an int. An empty range or a NaN
// gives 0; values beyond int are clamped before the conversion.
int PercentOf(double current, double min, double max)
{
  const double width = max - min;
  if (width == 0.0)
    return 0;
  const double percent = current / width * 100.0;
  if (std::isnan(percent))
    return 0;
  if (percent >= static_cast<double>(INT_MAX))
    return INT_MAX;
  if (percent <= static_cast<double>(INT_MIN))
    return INT_MIN + 1; // INT_MIN is kept as "nothing shown"
  return static_cast<int>(percent);
}

// The last value (searching from `inside`, which shows `percent`, towards
// `outside`, which does not) that still shows `percent`. The percentage is
// monotonic in the value, so bisection finds the exact boundary.
double LastWithPercent(double inside, double outside, int percent, double min, double max)
{
  for (int i = 0; i < kMaxHalvings; ++i) {
    const double middle = inside + (outside - inside) / 2;
    if (middle == inside || middle == outside)
      return inside;
    (PercentOf(middle, min, max) == percent ? inside : outside) = middle;
  }
  return inside;
}

} // namespace

PMProgress::PMProgress()
    : m_pDialog(nullptr), m_strTitle(L"Progress"), m_dMin(0.0), m_dMax(100.0), m_dCurrent(0.0),
      m_pParentWnd(nullptr), m_nShownPercent(kNothingShown), m_dSameLow(1.0), m_dSameHigh(0.0)
{
}

PMProgress::PMProgress(CString title, CString status, double min, double max, CWnd *parent)
    : m_pDialog(nullptr), m_strTitle(std::move(title)), m_strStatus(std::move(status)), m_dMin(min),
      m_dMax(max), m_dCurrent(min), m_pParentWnd(parent), m_nShownPercent(kNothingShown),
      m_dSameLow(1.0), m_dSameHigh(0.0)
{
}

PMProgress::~PMProgress()
{
  delete m_pDialog;
}

bool PMProgress::IsOpen() const
{
  return m_pDialog && m_pDialog->GetSafeHwnd();
}

void PMProgress::SetTitle(CString title)
{
  pelmora::Guarded([&] {
    m_strTitle = std::move(title);
    if (IsOpen())
      m_pDialog->SetWindowText(m_strTitle);
  });
}

CString PMProgress::GetTitle() const
{
  return m_strTitle;
}

void PMProgress::SetStatus(CString status)
{
  pelmora::Guarded([&] {
    m_strStatus = std::move(status);
    if (IsOpen()) {
      m_pDialog->SetStatus(m_strStatus);
      ForgetShown();
    }
  });
}

CString PMProgress::GetStatus() const
{
  return m_strStatus;
}
// A new range changes which values show which percentage: the next update
// computes its percentage again (and redraws only if that differs).
void PMProgress::SetMin(double min)
{
  m_dMin = min;
  ForgetSameRange();
}
double PMProgress::GetMin() const
{
  return m_dMin;
}
void PMProgress::SetMax(double max)
{
  m_dMax = max;
  ForgetSameRange();
}
double PMProgress::GetMax() const
{
  return m_dMax;
}
void PMProgress::SetParentWnd(CWnd *parent)
{
  m_pParentWnd = parent;
}
CWnd *PMProgress::GetParentWnd() const
{
  return m_pParentWnd;
}
double PMProgress::GetCurrent() const
{
  return m_dCurrent;
}

void PMProgress::StartProgress()
{
  pelmora::Guarded([&] {
    AFX_MAINTAIN_STATE2 moduleState(LibraryModuleState());
    if (!m_pParentWnd) {
      if (CWinThread *thread = AfxGetThread())
        m_pParentWnd = thread->GetMainWnd();
    }
    if (!m_pDialog && !(m_pDialog = new (std::nothrow) CProgressDlg))
      return;
    // A second start while open keeps the window and starts it over.
    if (!IsOpen() && !m_pDialog->Create(CProgressDlg::IDD, m_pParentWnd))
      return;
    m_pDialog->SetWindowText(m_strTitle);
    m_pDialog->SetStatus(m_strStatus);
    ForgetShown();
    SetCurrent(m_dMin);
  });
}

void PMProgress::StepIt(double step)
{
  m_dCurrent += step;
  if (m_dCurrent >= m_dSameLow && m_dCurrent <= m_dSameHigh)
    return;
  ShowCurrent();
}

void PMProgress::ForgetShown()
{
  m_nShownPercent = kNothingShown;
  ForgetSameRange();
}

void PMProgress::ForgetSameRange()
{
  m_dSameLow = 1.0;
  m_dSameHigh = 0.0;
}

void PMProgress::ShowCurrent()
{
  if (!m_pDialog)
    return;
  const int percent = PercentOf(m_dCurrent, m_dMin, m_dMax);
  if (percent == m_nShownPercent)
    return; // nothing on the screen would change
  if (!IsOpen())
    return;
  pelmora::Guarded([&] {
    m_nShownPercent = percent;
    CRepaintBatch batch(*m_pDialog); // bar and text drawn together
    SendMessageW(m_pDialog->m_ctlProgress.GetSafeHwnd(), PBM_SETPOS, static_cast<WPARAM>(percent),
                 0);
    if (!m_pDialog->m_bCustomStatus) {
      m_pDialog->m_strStatus.Format(L"%d %% complete", percent);
      m_pDialog->UpdateData(FALSE);
    }
  });
  // The values that show this percentage too, for a range of positive width
  // and a percentage within int.
  const double width = m_dMax - m_dMin;
  const double step = width / 100.0;
  if (!(width > 0.0) || !std::isfinite(width) || !std::isfinite(m_dCurrent) || percent == INT_MAX ||
      percent == INT_MIN + 1 || !(step > 0.0)) {
    ForgetSameRange();
    return;
  }
  const double below = (percent - 1.5) * step, above = (percent + 1.5) * step;
  if (PercentOf(below, m_dMin, m_dMax) == percent || PercentOf(above, m_dMin, m_dMax) == percent) {
    ForgetSameRange();
    return;
  }
  m_dSameLow = LastWithPercent(m_dCurrent, below, percent, m_dMin, m_dMax);
  m_dSameHigh = LastWithPercent(m_dCurrent, above, percent, m_dMin, m_dMax);
}

void PMProgress::EndProgress()
{
  pelmora::Guarded([&] {
    if (IsOpen())
      m_pDialog->DestroyWindow();
    ForgetShown();
  });
}
