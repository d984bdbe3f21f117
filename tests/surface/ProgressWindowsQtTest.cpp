// The progress windows of the surface operations on real Qt widgets
// (offscreen platform): which windows open, in which order, one at a time.
#include "Matrices.h"
#include "PMToolkit.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QProgressBar>
#include <QStringList>

#include <functional>

namespace {

int openProgressWindows()
{
  int open = 0;
  for (QWidget *widget : QApplication::topLevelWidgets()) {
    auto *dialog = qobject_cast<QDialog *>(widget);
    open += dialog && dialog->isVisible() && dialog->findChild<QProgressBar *>();
  }
  return open;
}

// Records the caption each progress window is given, and how many progress
// windows were open at that moment.
class CaptionRecorder : public QObject
{
public:
  CaptionRecorder() { qApp->installEventFilter(this); }
  ~CaptionRecorder() override { qApp->removeEventFilter(this); }

  QStringList captions;
  int mostOpen = 0;

protected:
  bool eventFilter(QObject *object, QEvent *event) override
  {
    auto *dialog = qobject_cast<QDialog *>(object);
    if (event->type() == QEvent::WindowTitleChange && dialog &&
        dialog->findChild<QProgressBar *>() && dialog->isVisible()) {
      captions << dialog->windowTitle();
      mostOpen = std::max(mostOpen, openProgressWindows());
    }
    return false;
  }
};

// A 6 x 6 unit grid with no point on the interior node (3, 3).
ON_3dPointArray gridWithHole()
{
  ON_3dPointArray cloud = Grid(6, 6, 1.0, [](int r, int c) { return 0.1 * c * r; });
  cloud[21] = cloud[20];
  return cloud;
}

} // namespace

TEST(SurfaceProgressQt, EachOperationOpensItsWindowsOneAfterAnother)
{
  PMSelectToolkit(PMToolkitKind::Qt);
  ASSERT_EQ(PMToolkitKind::Qt, PMCurrentToolkit());
  ON_3dPointArray points = gridWithHole(), matrix;
  ON_NurbsSurface surface;
  auto pointMatrix = [&](int interpolate, int showProgress) {
    EXPECT_EQ(
        1, PMSurface::CreatePointMatrix(gridWithHole(), 6, 6, matrix, interpolate, showProgress));
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
                  PMSurface::TransformPoints(points, ON_3dVector(0, 0, -3), 1,
                                             1); // straight down: none
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
