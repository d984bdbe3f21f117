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

#include <vtkCallbackCommand.h>
#include <vtkNew.h>
#include <vtkPolyData.h>
#include <vtkObjectFactory.h>
#include <vtkPolyDataAlgorithm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// The progress windows that are open now.
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

struct Shown
{
  QString caption;
  QString status;
  int bar = -1;
};

Shown OnlyWindow()
{
  std::vector<QDialog *> windows = ProgressWindows();
  EXPECT_EQ(windows.size(), 1u);
  if (windows.size() != 1)
    return {};
  QDialog *dialog = windows.front();
  return {dialog->windowTitle(), dialog->findChild<QLabel *>()->text(),
          dialog->findChild<QProgressBar *>()->value()};
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

TEST_F(ProgressQtTest, ConstructingCreatesNoWindow)
{
  const int before = QApplication::allWidgets().size();
  PMProgress progress;
  PMProgress titled(L"Creating surface", L"", 0.0, 100.0, nullptr);
  CProgressDlg dialog;
  EXPECT_EQ(QApplication::allWidgets().size(), before);
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST_F(ProgressQtTest, DefaultReporterShowsProgressAtZero)
{
  PMProgress progress;
  progress.StartProgress();
  Shown shown = OnlyWindow();
  EXPECT_EQ(shown.caption, "Progress");
  EXPECT_EQ(shown.bar, 0);
  EXPECT_EQ(shown.status, "0 % complete"); // never the template's "Status"
  QDialog *window = ProgressWindows().front();
  EXPECT_GT(window->width(), window->height());
  EXPECT_GT(window->height(), 20);
  progress.EndProgress();
}

struct PercentCase
{
  double min, max, current;
  int bar;
  const char *status;
};

TEST_F(ProgressQtTest, PercentageOfTheRange)
{
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const PercentCase cases[] = {
      {0, 100, 99.9, 99, "99 % complete"},
      {0, 100, 100, 100, "100 % complete"},
      {10, 20, 15, 100, "150 % complete"}, // current is not reduced by min
      {0, 100, 150, 100, "150 % complete"},
      {0, 100, -0.5, 0, "0 % complete"},
      {0, 100, -20, 0, "-20 % complete"},
      {5, 5, 3, 0, "0 % complete"}, // empty range
      {0, 0, 0, 0, "0 % complete"},
      {0, 1e-300, 1e300, 100, "2147483647 % complete"},
      {0, 1, -1e300, 0, "-2147483647 % complete"},
      {0, 100, inf, 100, "2147483647 % complete"},
      {0, 100, nan, 0, "0 % complete"},
  };
  for (const PercentCase &c : cases) {
    SCOPED_TRACE(c.status);
    PMProgress progress(L"Range", L"", c.min, c.max, nullptr);
    progress.StartProgress();
    progress.SetCurrent(c.current);
    Shown shown = OnlyWindow();
    EXPECT_EQ(shown.bar, c.bar);
    EXPECT_EQ(shown.status, c.status);
    progress.EndProgress();
  }
}

TEST_F(ProgressQtTest, SkippedUpdatesNeverHideAChange)
{
  // 29 / 100 * 100 is 28.999999999999996 in doubles: the formula shows 28.
  PMProgress exact(L"Exact", L"", 0.0, 100.0, nullptr);
  exact.StartProgress();
  const std::pair<double, const char *> steps[] = {
      {28.5, "28 % complete"}, {29.0, "28 % complete"}, {29.000001, "29 % complete"},
      {28.9, "28 % complete"}, {-0.9, "0 % complete"},  {-1.0, "-1 % complete"}};
  for (const auto &[value, status] : steps) {
    exact.SetCurrent(value);
    EXPECT_EQ(OnlyWindow().status, status) << value;
  }
  exact.EndProgress();
  // An awkward range, swept forwards, backwards and by jumps.
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
    const QString expected = QString("%1 % complete").arg(static_cast<int>(value / 7.0 * 100.0));
    mismatches += OnlyWindow().status != expected;
  }
  EXPECT_EQ(mismatches, 0);
  sweep.EndProgress();
}

TEST_F(ProgressQtTest, StepItAddsToCurrent)
{
  PMProgress progress(L"Steps", L"", 0.0, 10.0, nullptr);
  progress.StartProgress();
  progress.StepIt(2.5);
  progress.StepIt(2.5);
  EXPECT_DOUBLE_EQ(progress.GetCurrent(), 5.0);
  EXPECT_EQ(OnlyWindow().bar, 50);
  EXPECT_EQ(OnlyWindow().status, "50 % complete");
  progress.EndProgress();
}

TEST_F(ProgressQtTest, StatusTextReplacesThePercentage)
{
  PMProgress progress(L"Status", L"Reading", 0.0, 100.0, nullptr);
  progress.StartProgress();
  EXPECT_EQ(OnlyWindow().status, "Reading");
  progress.SetCurrent(40);
  EXPECT_EQ(OnlyWindow().status, "Reading");
  EXPECT_EQ(OnlyWindow().bar, 40);
  progress.SetStatus(L"Writing");
  EXPECT_EQ(OnlyWindow().status, "Writing");
  progress.SetStatus(L"");
  EXPECT_EQ(OnlyWindow().status, "");
  progress.SetCurrent(40); // same percentage: the text comes back all the same
  EXPECT_EQ(OnlyWindow().status, "40 % complete");
  progress.EndProgress();
}

TEST_F(ProgressQtTest, ParentIsTheThreadsMainWindow)
{
  QWidget host;
  host.resize(400, 300);
  host.show();
  CWinThread thread;
  thread.m_pMainWnd = CWnd::FromHandle(HwndFromWidget(&host));
  AfxSetThread(&thread);
  PMProgress progress;
  progress.StartProgress();
  AfxSetThread(nullptr);
  EXPECT_EQ(progress.GetParentWnd(), thread.m_pMainWnd);
  ASSERT_EQ(ProgressWindows().size(), 1u);
  EXPECT_EQ(ProgressWindows().front()->parentWidget(), &host);
  progress.EndProgress();
}

TEST_F(ProgressQtTest, EndThenStartOpensANewWindowAtMin)
{
  PMProgress progress(L"Again", L"", 0.0, 4.0, nullptr);
  progress.EndProgress(); // not open: nothing happens
  progress.StartProgress();
  progress.SetCurrent(3);
  progress.StartProgress(); // a second start keeps one window
  EXPECT_EQ(OnlyWindow().bar, 0);
  progress.SetCurrent(3);
  progress.EndProgress();
  EXPECT_TRUE(ProgressWindows().empty());
  progress.SetCurrent(2); // closed: stored only
  progress.StartProgress();
  EXPECT_EQ(OnlyWindow().bar, 0);
  EXPECT_EQ(OnlyWindow().caption, "Again");
  progress.EndProgress();
}

TEST_F(ProgressQtTest, ConventionShowsEachStepAndClosesBeforeHundred)
{
  const int steps = 3;
  PMProgress progress(L"Transforming points", L"", 0.0, 100.0, nullptr);
  progress.SetMax(steps);
  progress.StartProgress();
  std::vector<int> bars;
  for (int i = 0; i < steps; ++i) {
    progress.SetCurrent(i);
    bars.push_back(OnlyWindow().bar);
  }
  progress.EndProgress();
  EXPECT_EQ(bars, (std::vector<int>{0, 33, 66}));
}

// Counts paint events of one widget.
class PaintCounter : public QObject
{
public:
  int paints = 0;
  bool eventFilter(QObject *, QEvent *event) override
  {
    if (event->type() == QEvent::Paint)
      ++paints;
    return false;
  }
};

TEST_F(ProgressQtTest, RepaintsAtOnceWhenTheShownValueChangesOnly)
{
  PMProgress progress(L"Paint", L"", 0.0, 1000.0, nullptr);
  progress.StartProgress();
  auto *bar = ProgressWindows().front()->findChild<QProgressBar *>();
  PaintCounter counter;
  bar->installEventFilter(&counter);
  progress.SetCurrent(500); // no event processing in between
  EXPECT_EQ(counter.paints, 1);
  for (int i = 500; i < 510; ++i)
    progress.SetCurrent(i); // 50 % throughout
  EXPECT_EQ(counter.paints, 1);
  progress.SetCurrent(510);
  EXPECT_EQ(counter.paints, 2);
  bar->removeEventFilter(&counter);
  progress.EndProgress();
}

// A filter that reports 45.6 % of its work while it runs.
class ReportingFilter : public vtkPolyDataAlgorithm
{
public:
  static ReportingFilter *New();
  vtkTypeMacro(ReportingFilter, vtkPolyDataAlgorithm)

      protected
      : int RequestData(vtkInformation *, vtkInformationVector **, vtkInformationVector *) override
  {
    UpdateProgress(0.456);
    return 1;
  }
};
vtkStandardNewMacro(ReportingFilter)

    // The filter with the hooks as its observers.
    struct HookedFilter
{
  vtkNew<ReportingFilter> filter;
  std::vector<int> barsDuringProgress;

  static void Start(vtkObject *, unsigned long, void *client, void *)
  {
    OnPipelineStart(static_cast<HookedFilter *>(client)->filter.Get());
  }
  static void Progress(vtkObject *, unsigned long, void *client, void *)
  {
    auto *self = static_cast<HookedFilter *>(client);
    OnPipelineProgress(self->filter.Get());
    self->barsDuringProgress.push_back(OnlyWindow().bar);
  }
  static void End(vtkObject *, unsigned long, void *client, void *)
  {
    OnPipelineEnd(static_cast<HookedFilter *>(client)->filter.Get());
  }
  HookedFilter()
  {
    vtkNew<vtkPolyData> input;
    filter->SetInputData(input);
    filter->SetProgressText("Wrapping convex mesh");
    Observe(vtkCommand::StartEvent, &HookedFilter::Start);
    Observe(vtkCommand::ProgressEvent, &HookedFilter::Progress);
    Observe(vtkCommand::EndEvent, &HookedFilter::End);
  }
  void Observe(unsigned long event, void (*callback)(vtkObject *, unsigned long, void *, void *))
  {
    vtkNew<vtkCallbackCommand> command;
    command->SetCallback(callback);
    command->SetClientData(this);
    filter->AddObserver(event, command);
  }
};

TEST_F(ProgressQtTest, PipelineHooksFollowTheFilter)
{
  HookedFilter hooked;
  hooked.filter->Update();
  ASSERT_FALSE(hooked.barsDuringProgress.empty());
  EXPECT_NE(std::find(hooked.barsDuringProgress.begin(), hooked.barsDuringProgress.end(), 45),
            hooked.barsDuringProgress.end());
  EXPECT_TRUE(ProgressWindows().empty()); // the end hook closed it
  EXPECT_EQ(thePipelineProgress.GetTitle(), L"Wrapping convex mesh");
  EXPECT_DOUBLE_EQ(thePipelineProgress.GetCurrent(), 100.0);
}

TEST_F(ProgressQtTest, EndHookShowsHundredBeforeClosing)
{
  vtkNew<ReportingFilter> filter;
  filter->SetProgressText("Wrapping concave mesh");
  OnPipelineStart(filter.Get());
  EXPECT_EQ(OnlyWindow().caption, "Wrapping concave mesh");
  filter->UpdateProgress(0.456);
  OnPipelineProgress(filter.Get());
  EXPECT_EQ(OnlyWindow().bar, 45);
  EXPECT_EQ(OnlyWindow().status, "45 % complete");
  auto *bar = ProgressWindows().front()->findChild<QProgressBar *>();
  QObject::connect(bar, &QProgressBar::valueChanged, [](int value) { EXPECT_EQ(value, 100); });
  OnPipelineEnd(filter.Get());
  EXPECT_TRUE(ProgressWindows().empty());
}

} // namespace
