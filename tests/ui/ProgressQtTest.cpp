// The progress reporter on real Qt widgets (offscreen platform).
#include "PMProgress.h"
#include "PMToolkit.h"
#include "framework/QtHandle.h"
#include "framework/WinApp.h"
#include "ui/CProgressDlg.h"
#include "ui/PipelineProgress.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>

#include <vtkNew.h>
#include <vtkPolyDataAlgorithm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

std::vector<QDialog *> ProgressWindows()
{
  std::vector<QDialog *> found;
  for (QWidget *widget : QApplication::topLevelWidgets()) {
    auto *dialog = qobject_cast<QDialog *>(widget);
    if (dialog && dialog->isVisible() && dialog->findChild<QProgressBar *>())
      found.push_back(dialog);
  }
  return found;
}

QDialog *OnlyWindow()
{
  const std::vector<QDialog *> windows = ProgressWindows();
  EXPECT_EQ(windows.size(), 1u);
  return windows.size() == 1 ? windows.front() : nullptr;
}
int Bar()
{
  QDialog *window = OnlyWindow();
  return window ? window->findChild<QProgressBar *>()->value() : -1;
}
QString Status()
{
  QDialog *window = OnlyWindow();
  return window ? window->findChild<QLabel *>()->text() : "no window";
}
QString Caption()
{
  QDialog *window = OnlyWindow();
  return window ? window->windowTitle() : "no window";
}

class ProgressQtTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    PMSelectToolkit(PMToolkitKind::Qt);
    ASSERT_EQ(PMCurrentToolkit(), PMToolkitKind::Qt);
  }
  void TearDown() override { EXPECT_TRUE(ProgressWindows().empty()); }
};

TEST_F(ProgressQtTest, WindowOpensOnStartOnly)
{
  const int before = QApplication::allWidgets().size();
  PMProgress progress;
  CProgressDlg dialog;
  EXPECT_EQ(QApplication::allWidgets().size(), before);
  progress.StartProgress();
  EXPECT_EQ(Caption(), "Progress");
  EXPECT_EQ(Bar(), 0);
  EXPECT_EQ(Status(), "0 % complete"); // never the template's "Status"
  EXPECT_GT(OnlyWindow()->width(), OnlyWindow()->height());
  progress.EndProgress();
}

TEST_F(ProgressQtTest, PercentageOfTheRange)
{
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct
  {
    double min, max, current;
    int bar;
    const char *status;
  } cases[] = {
      {0, 100, 99.9, 99, "99 % complete"},
      {0, 100, 100, 100, "100 % complete"},
      {10, 20, 15, 100, "150 % complete"}, // current is not reduced by min
      {0, 100, -0.5, 0, "0 % complete"},
      {0, 100, -20, 0, "-20 % complete"},
      {5, 5, 3, 0, "0 % complete"}, // empty range
      {0, 1e-300, 1e300, 100, "2147483647 % complete"},
      {0, 1, -1e300, 0, "-2147483647 % complete"},
      {0, 100, inf, 100, "2147483647 % complete"},
      {0, 100, nan, 0, "0 % complete"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.status);
    PMProgress progress(L"Range", L"", c.min, c.max, nullptr);
    progress.StartProgress();
    progress.SetCurrent(c.current);
    EXPECT_EQ(Bar(), c.bar);
    EXPECT_EQ(Status(), c.status);
    progress.EndProgress();
  }
}

// Values whose percentage is unchanged skip the update; the skip must never
// hide a change, forwards, backwards or by jumps, nor at rounding edges
// (29 / 100 * 100 is 28.999999999999996 in doubles).
TEST_F(ProgressQtTest, SkippedUpdatesNeverHideAChange)
{
  PMProgress exact(L"Exact", L"", 0.0, 100.0, nullptr);
  exact.StartProgress();
  const std::pair<double, const char *> steps[] = {
      {28.5, "28 % complete"}, {29.0, "28 % complete"}, {29.000001, "29 % complete"},
      {28.9, "28 % complete"}, {-0.9, "0 % complete"},  {-1.0, "-1 % complete"}};
  for (const auto &[value, status] : steps) {
    exact.SetCurrent(value);
    EXPECT_EQ(Status(), status) << value;
  }
  exact.EndProgress();
  PMProgress sweep(L"Sweep", L"", 1.0, 8.0, nullptr);
  sweep.StartProgress();
  std::vector<double> values;
  for (int i = 0; i <= 900; ++i)
    values.push_back(i * 0.01);
  for (int i = 900; i >= 0; i -= 7)
    values.push_back(i * 0.01 + 1e-9);
  for (int i = 0; i < 200; ++i)
    values.push_back(std::fmod(i * 2.718281828, 9.0) - 0.5);
  int mismatches = 0;
  for (double value : values) {
    sweep.SetCurrent(value);
    mismatches += Status() != QString("%1 % complete").arg(static_cast<int>(value / 7.0 * 100.0));
  }
  EXPECT_EQ(mismatches, 0);
  sweep.EndProgress();
}

// A range changed while the window is open takes effect at the next update,
// also for the value that is already shown.
TEST_F(ProgressQtTest, ChangedRangeTakesEffectAtTheNextUpdate)
{
  PMProgress progress;
  progress.StartProgress();
  const struct
  {
    double min, max, current;
    int bar;
    const char *status;
  } steps[] = {{0, 100, 50, 50, "50 % complete"},
               {0, 200, 50, 25, "25 % complete"}, // same value, wider range
               {0, 200, 60, 30, "30 % complete"},
               {0, 50, 60, 100, "120 % complete"},
               {-50, 50, 60, 60, "60 % complete"}}; // a new min changes the width
  for (const auto &step : steps) {
    SCOPED_TRACE(step.status);
    progress.SetMin(step.min);
    progress.SetMax(step.max);
    progress.SetCurrent(step.current);
    EXPECT_EQ(Status(), step.status);
    EXPECT_EQ(Bar(), step.bar);
  }
  progress.EndProgress();
}

// StepIt adds to the current value; N = 3 steps show 0, 33, 66 and close
// before 100; a status text replaces the percentage until set empty, then
// the percentage comes back even when unchanged.
TEST_F(ProgressQtTest, StepsAndStatusText)
{
  PMProgress steps(L"Steps", L"", 0.0, 10.0, nullptr);
  steps.StartProgress();
  steps.StepIt(2.5);
  steps.StepIt(2.5);
  EXPECT_EQ(Bar(), 50);
  EXPECT_EQ(Status(), "50 % complete");
  steps.SetMax(3);
  std::vector<int> bars;
  for (int i = 0; i < 3; ++i) {
    steps.SetCurrent(i);
    bars.push_back(Bar());
  }
  EXPECT_EQ(bars, (std::vector<int>{0, 33, 66}));
  steps.EndProgress();

  PMProgress status(L"Status", L"Reading", 0.0, 100.0, nullptr);
  status.StartProgress();
  EXPECT_EQ(Status(), "Reading");
  status.SetCurrent(40);
  EXPECT_EQ(Status(), "Reading");
  EXPECT_EQ(Bar(), 40);
  status.SetStatus(L"Writing");
  EXPECT_EQ(Status(), "Writing");
  status.SetStatus(L"");
  EXPECT_EQ(Status(), "");
  status.SetCurrent(40);
  EXPECT_EQ(Status(), "40 % complete");
  status.EndProgress();
}

TEST_F(ProgressQtTest, ParentIsTheThreadsMainWindow)
{
  QWidget host;
  host.show();
  CWinThread thread;
  thread.m_pMainWnd = CWnd::FromHandle(HwndFromWidget(&host));
  AfxSetThread(&thread);
  PMProgress progress;
  progress.StartProgress();
  AfxSetThread(nullptr);
  ASSERT_NE(OnlyWindow(), nullptr);
  EXPECT_EQ(OnlyWindow()->parentWidget(), &host);
  progress.EndProgress();
}

// Calls without a window only store their value; a second start keeps one
// window and goes back to min.
TEST_F(ProgressQtTest, EndThenStartOpensANewWindowAtMin)
{
  PMProgress progress(L"Again", L"", 0.0, 4.0, nullptr);
  progress.EndProgress();
  progress.StartProgress();
  progress.SetCurrent(3);
  progress.StartProgress();
  EXPECT_EQ(Bar(), 0);
  progress.SetCurrent(3);
  progress.EndProgress();
  EXPECT_TRUE(ProgressWindows().empty());
  progress.SetCurrent(2);
  progress.StartProgress();
  EXPECT_EQ(Bar(), 0);
  EXPECT_EQ(Caption(), "Again");
  progress.EndProgress();
}

// A changed percentage is painted at once, without event processing; an
// unchanged one is not painted again.
TEST_F(ProgressQtTest, RepaintsAtOnceWhenTheShownValueChangesOnly)
{
  struct PaintCounter : QObject
  {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
      paints += event->type() == QEvent::Paint;
      return false;
    }
  } counter;
  PMProgress progress(L"Paint", L"", 0.0, 1000.0, nullptr);
  progress.StartProgress();
  auto *bar = OnlyWindow()->findChild<QProgressBar *>();
  bar->installEventFilter(&counter);
  std::vector<int> paints;
  for (int value : {500, 505, 509, 510}) {
    progress.SetCurrent(value);
    paints.push_back(counter.paints);
  }
  EXPECT_EQ(paints, (std::vector<int>{1, 1, 1, 2}));
  bar->removeEventFilter(&counter);
  progress.EndProgress();
}

// The hooks open a window captioned with the filter's progress text, show its
// progress (0.456 gives 45) and show 100 before closing at the end.
TEST_F(ProgressQtTest, PipelineHooksFollowTheFilter)
{
  vtkNew<vtkPolyDataAlgorithm> filter;
  filter->SetProgressText("Wrapping concave mesh");
  OnPipelineStart(filter.Get());
  EXPECT_EQ(Caption(), "Wrapping concave mesh");
  filter->UpdateProgress(0.456);
  OnPipelineProgress(filter.Get());
  EXPECT_EQ(Bar(), 45);
  EXPECT_EQ(Status(), "45 % complete");
  std::vector<int> shownAtEnd;
  QObject::connect(OnlyWindow()->findChild<QProgressBar *>(), &QProgressBar::valueChanged,
                   [&](int value) { shownAtEnd.push_back(value); });
  OnPipelineEnd(filter.Get());
  EXPECT_EQ(shownAtEnd, std::vector<int>{100});
  EXPECT_TRUE(ProgressWindows().empty());
  EXPECT_EQ(thePipelineProgress.GetTitle(), L"Wrapping concave mesh");
}

} // namespace
