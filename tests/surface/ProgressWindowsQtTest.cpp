// The progress windows of the surface operations on real Qt widgets
// (offscreen platform): which windows open, in which order, one at a time.
#include "PMSurface.h"
#include "PMToolkit.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QProgressBar>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

int openProgressWindows()
{
  int open = 0;
  for (QWidget *widget : QApplication::topLevelWidgets()) {
    auto *dialog = qobject_cast<QDialog *>(widget);
    if (dialog && dialog->isVisible() && dialog->findChild<QProgressBar *>())
      ++open;
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

class SurfaceProgressQt : public ::testing::Test
{
protected:
  void SetUp() override
  {
    PMSelectToolkit(PMToolkitKind::Qt);
    ASSERT_EQ(PMToolkitKind::Qt, PMCurrentToolkit());
  }
  void TearDown() override { EXPECT_EQ(0, openProgressWindows()); }
};

ON_3dPointArray gridWithHole()
{
  ON_3dPointArray cloud;
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 6; ++c)
      if (r != 3 || c != 3)
        cloud.Append(ON_3dPoint(c, r, 0.1 * c * r));
  return cloud;
}

} // namespace

TEST_F(SurfaceProgressQt, PointMatrixPhasesOpenOneWindowAfterAnother)
{
  ON_3dPointArray matrix;
  {
    CaptionRecorder recorder;
    EXPECT_EQ(1, PMSurface::CreatePointMatrix(gridWithHole(), 6, 6, matrix, 1, 1));
    EXPECT_EQ(
        QStringList({"Calculating surface", "Checking for missing points", "Interpolating points"}),
        recorder.captions);
    EXPECT_EQ(1, recorder.mostOpen);
  }
  {
    CaptionRecorder recorder;
    EXPECT_EQ(1, PMSurface::CreatePointMatrix(gridWithHole(), 6, 6, matrix, 0, 1));
    EXPECT_EQ(QStringList({"Calculating surface", "Finalizing surface"}), recorder.captions);
  }
  {
    CaptionRecorder recorder;
    EXPECT_EQ(1, PMSurface::CreatePointMatrix(gridWithHole(), 6, 6, matrix, 1, 0));
    EXPECT_TRUE(recorder.captions.isEmpty());
  }
}

TEST_F(SurfaceProgressQt, TransformFitAndOffsetWindows)
{
  ON_3dPointArray points = gridWithHole();
  {
    CaptionRecorder recorder;
    PMSurface::TransformPoints(points, ON_3dVector(1, 1, 1), 1, 1);
    PMSurface::TransformPoints(points, ON_3dVector(0, 0, -3), 1, 1); // straight down: none
    EXPECT_EQ(QStringList({"Transforming points"}), recorder.captions);
  }
  ON_3dPointArray matrix;
  ASSERT_EQ(1, PMSurface::CreatePointMatrix(gridWithHole(), 6, 6, matrix, 1, 0));
  ON_NurbsSurface surface;
  {
    CaptionRecorder recorder;
    EXPECT_EQ(1, PMSurface::CreateSurfaceFromPointMatrix(surface, matrix, 6, 6, 1));
    EXPECT_EQ(1, PMSurface::Offset(matrix, 6, 6, surface, -0.5, 1));
    EXPECT_EQ(QStringList({"Creating surface", "Offsetting surface", "Creating surface"}),
              recorder.captions);
    EXPECT_EQ(1, recorder.mostOpen);
  }
}
