// One phase of a long operation under the progress convention: a reporter
// made with the phase's title (empty status, range 0 to 100, no parent), and
// only when progress is shown: SetMax(count), StartProgress, SetCurrent(i)
// before item i, EndProgress after the loop.
#pragma once

#include "PMProgress.h"
#include "opennurbs/ParallelFor.h"

#include <algorithm>

namespace pelmora {

class ProgressPhase
{
public:
  ProgressPhase(const wchar_t *title, int showProgress)
      : m_progress(CString(title), CString(), 0.0, 100.0, nullptr), m_show(showProgress != 0)
  {
  }
  ProgressPhase(const ProgressPhase &) = delete;
  ProgressPhase &operator=(const ProgressPhase &) = delete;

  bool Shown() const { return m_show; }

  void Start(int count)
  {
    if (m_show) {
      m_progress.SetMax(static_cast<double>(count));
      m_progress.StartProgress();
    }
  }
  // Call only when Shown(); loops test that once, outside the loop.
  void At(int index) { m_progress.SetCurrent(static_cast<double>(index)); }
  void End()
  {
    if (m_show)
      m_progress.EndProgress();
  }

  // Runs body(i) for i = 0 .. count - 1, each after SetCurrent(i) when shown.
  template <class Body> void Run(int count, Body body)
  {
    Start(count);
    if (m_show) {
      for (int i = 0; i < count; ++i) {
        At(i);
        body(i);
      }
    } else {
      for (int i = 0; i < count; ++i)
        body(i);
    }
    End();
  }

  // Run on all cores, for bodies that touch only their own item and shared
  // data they read. The window sees the same SetCurrent(i) calls as Run
  // (every i in order, each once item i may start), from the calling thread.
  template <class Body> void RunParallel(int count, int grain, Body body)
  {
    Start(count);
    int next = 0;
    std::function<void(int)> report;
    if (m_show)
      report = [&](int done) {
        for (const int last = std::min(done, count - 1); next <= last; ++next)
          At(next);
      };
    ParallelFor(
        count, grain,
        [&](int begin, int end) {
          for (int i = begin; i < end; ++i)
            body(i);
        },
        report);
    End();
  }

private:
  PMProgress m_progress;
  bool m_show;
};

} // namespace pelmora
