// The progress windows of the surface operations on real Qt widgets
// (offscreen platform): which windows open, in which order, one at a time.
#include "Matrices.h"
#include "PMToolkit.h"
#include "opennurbs/ParallelFor.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QProgressBar>
#include <QStringList>
#include <QThread>

#include <cmath>
#include <functional>

namespace {

bool isOpenProgressWindow(QObject *object)
{
  auto *dialog = qobject_cast<QDialog *>(object);
  return dialog && dialog->isVisible() && dialog->findChild<QProgressBar *>();
}

int openProgressWindows()
{
  int open = 0;
  for (QWidget *widget : QApplication::topLevelWidgets())
    open += isOpenProgressWindow(widget);
  return open;
}

// Records the caption each progress window is given, and how many progress
// windows were open at that moment.
struct CaptionRecorder : QObject
{
  CaptionRecorder() { qApp->installEventFilter(this); }
  ~CaptionRecorder() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject *object, QEvent *event) override
  {
    if (event->type() == QEvent::WindowTitleChange && isOpenProgressWindow(object)) {
      captions << static_cast<QWidget *>(object)->windowTitle();
      mostOpen = std::max(mostOpen, openProgressWindows());
    }
    return false;
  }
  QStringList captions;
  int mostOpen = 0;
};

// Records every value the progress bars show, and whether one changed on a
// thread other than the application's.
struct BarRecorder : QObject
{
  BarRecorder() { qApp->installEventFilter(this); }
  ~BarRecorder() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject *object, QEvent *event) override
  {
    if (event->type() == QEvent::Paint) {
      if (auto *bar = qobject_cast<QProgressBar *>(object)) {
        if (values.empty() || values.back() != bar->value())
          values.push_back(bar->value());
        elsewhere |= QThread::currentThread() != qApp->thread();
      }
    }
    return false;
  }
  std::vector<int> values;
  bool elsewhere = false;
};

} // namespace

TEST(SurfaceProgressQt, OffsetOnSeveralThreadsShowsTheSerialPercentages)
{
  PMSelectToolkit(PMToolkitKind::Qt);
  const int side = 60;
  const ON_3dPointArray start =
      Grid(side, side, 1.0, [](int r, int c) { return 0.05 * c * r + std::sin(0.3 * c); });
  ON_NurbsSurface entry;
  ON_3dPointArray m = start;
  // With its window, so that the application exists before the recording.
  ASSERT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(entry, m, side, side, 1));
  ASSERT_TRUE(qApp);
  std::vector<int> shown[2];
  for (int run = 0; run < 2; ++run) {
    pelmora::SetThreadCount(run == 0 ? 1 : 3);
    ON_3dPointArray matrix = start;
    ON_NurbsSurface surface = entry;
    BarRecorder recorder;
    EXPECT_EQ(1, PMSurface::Offset(matrix, side, side, surface, -0.5, 1));
    EXPECT_FALSE(recorder.elsewhere);
    shown[run] = recorder.values;
  }
  pelmora::SetThreadCount(0);
  EXPECT_GT(shown[0].size(), 100u); // two fits and the offset, each 0 to 99
  EXPECT_EQ(shown[0], shown[1]);
}

TEST(SurfaceProgressQt, EachOperationOpensItsWindowsOneAfterAnother)
{
  PMSelectToolkit(PMToolkitKind::Qt);
  ASSERT_EQ(PMToolkitKind::Qt, PMCurrentToolkit());
  ON_3dPointArray cloud = Grid(6, 6, 1.0, [](int r, int c) { return 0.1 * c * r; });
  ON_3dPointArray points = cloud, matrix;
  cloud[21].x = NAN; // no point on the interior node (3, 3)
  ON_NurbsSurface surface;
  auto pointMatrix = [&](int interpolate, int showProgress) {
    EXPECT_EQ(1, PMSurface::CreatePointMatrix(cloud, 6, 6, matrix, interpolate, showProgress));
  };
  const struct
  {
    std::function<void()> run;
    QStringList captions;
  } cases[] = {{[&] { pointMatrix(1, 1); },
                {"Calculating surface", "Checking for missing points", "Interpolating points"}},
               {[&] { pointMatrix(0, 1); }, {"Calculating surface", "Finalizing surface"}},
               {[&] { pointMatrix(1, 0); }, {}},
               {[&] {
                  PMSurface::TransformPoints(points, ON_3dVector(1, 1, 1), 1, 1);
                  // Straight down: nothing to do, no window.
                  PMSurface::TransformPoints(points, ON_3dVector(0, 0, -3), 1, 1);
                },
                {"Transforming points"}},
               {[&] {
                  EXPECT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(surface, matrix, 6, 6, 1));
                  EXPECT_EQ(1, PMSurface::Offset(matrix, 6, 6, surface, -0.5, 1));
                },
                {"Creating surface", "Offsetting surface", "Creating surface"}}};
  for (const auto &c : cases) {
    CaptionRecorder recorder;
    c.run();
    EXPECT_EQ(c.captions, recorder.captions);
    EXPECT_LE(recorder.mostOpen, 1);
    EXPECT_EQ(0, openProgressWindows());
  }
}
