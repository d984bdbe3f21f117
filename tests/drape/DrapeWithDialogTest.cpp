// DrapeSurface with the "Surface Parameters" window answered on the Qt
// toolkit: cancel, probe compensation, too few rows, and the windows the
// user sees one after another.
#include "PMSurface.h"
#include "drape/HeightFieldCloud.h"
#include "drape/QtDialogDriver.h"
#include "ui/SurfaceParametersDlg.h"

#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace drape_test;

namespace {

const ON_3dVector kDown(0.0, 0.0, -1.0);

// Answers the next parameters window: types the given texts (null keeps a
// box as it is) and presses OK.
void Answer(const char *rows, const char *cols, const char *diameter)
{
  WhenModal([=](QWidget *w) {
    const std::pair<int, const char *> boxes[] = {
        {CSurfaceParametersDlg::IDC_ROWS, rows},
        {CSurfaceParametersDlg::IDC_COLS, cols},
        {CSurfaceParametersDlg::IDC_PROBE_DIAMETER, diameter}};
    for (const auto &box : boxes)
      if (box.second)
        Item<QLineEdit>(w, box.first)->setText(box.second);
    Item<QPushButton>(w, IDOK)->click();
  });
}

double flat(double, double)
{
  return 0.0;
}

class DrapeWithDialog : public ::testing::Test
{
protected:
  static void SetUpTestSuite() { UseQtToolkit(); }
};

// Cancel: 0 with "Cancelled", the suggestion in rows and cols, matrix and
// surface as they were.
TEST_F(DrapeWithDialog, CancelLeavesMatrixAndSurface)
{
  const ON_3dPointArray cloud = jitteredGrid(21, dome, 0.2);
  ON_3dPointArray matrix;
  matrix.Append(ON_3dPoint(1, 2, 3));
  ON_NurbsSurface surface;
  int rows = -1, cols = -1;
  QString diameterShown;
  WhenModal([&](QWidget *w) {
    diameterShown = Item<QLineEdit>(w, CSurfaceParametersDlg::IDC_PROBE_DIAMETER)->text();
    Item<QPushButton>(w, IDCANCEL)->click();
  });
  EXPECT_EQ(PMSurface::DrapeSurface(matrix, rows, cols, surface, cloud, kDown, 1, 0, nullptr), 0);
  EXPECT_EQ(PMSurface::GetError(), L"Cancelled");
  EXPECT_EQ(diameterShown, "0");
  EXPECT_EQ(rows, 21);
  EXPECT_EQ(cols, 21);
  ASSERT_EQ(matrix.Count(), 1);
  EXPECT_EQ(matrix[0], ON_3dPoint(1, 2, 3));
  EXPECT_EQ(surface.CVCount(0), 0);
}

// A probe diameter of 2 over a flat plate moves every matrix point by 1
// along the drape direction, from above and from below; the surface
// follows.
TEST_F(DrapeWithDialog, ProbeDiameterMovesTheMatrixAlongTheDirection)
{
  ON_3dPointArray plate = uniformCloud(400, 10.0, 10.0, flat);
  plate.Append(ON_3dPoint(0, 0, 0));
  plate.Append(ON_3dPoint(10, 10, 0));
  for (double sense : {-1.0, 1.0}) {
    SCOPED_TRACE(sense);
    ON_3dPointArray matrix;
    ON_NurbsSurface surface;
    int rows = 0, cols = 0;
    Answer("6", "5", "2");
    ASSERT_EQ(PMSurface::DrapeSurface(matrix, rows, cols, surface, plate,
                                      ON_3dVector(0, 0, 3 * sense), 1, 0, nullptr),
              1);
    EXPECT_EQ(rows, 6);
    EXPECT_EQ(cols, 5);
    ASSERT_EQ(matrix.Count(), 30);
    for (int i = 0; i < matrix.Count(); ++i)
      EXPECT_NEAR(matrix[i].z, sense, 1e-9);
    ASSERT_TRUE(surface.IsValid());
    EXPECT_NEAR(surface.PointAt(1.5, 2.0).z, sense, 1e-9);
  }
}

// Two rows are fewer than the surface order: the 2-row matrix is returned,
// the fit fails with "Invalid Nurbs Surface", and the result is still 1,
// also when the compensation runs on the failed surface (points unmoved).
TEST_F(DrapeWithDialog, TwoRowsGiveAnInvalidSurfaceButResultOne)
{
  const ON_3dPointArray cloud = jitteredGrid(11, dome, 0.2);
  for (const char *diameter : {"0", "2"}) {
    SCOPED_TRACE(diameter);
    ON_3dPointArray matrix, reference;
    ON_NurbsSurface surface;
    int rows = 0, cols = 0;
    PMSurface::SetError(L"");
    Answer("2", nullptr, diameter);
    EXPECT_EQ(PMSurface::DrapeSurface(matrix, rows, cols, surface, cloud, kDown, 0, 0, nullptr), 1);
    EXPECT_EQ(PMSurface::GetError(), L"Invalid Nurbs Surface");
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(cols, 11);
    EXPECT_EQ(matrix.Count(), 22);
    EXPECT_FALSE(surface.IsValid());
    PMSurface::CreatePointMatrix(cloud, 2, 11, reference, 0, 0);
    ASSERT_EQ(reference.Count(), 22);
    for (int i = 0; i < 22; ++i)
      EXPECT_EQ(matrix[i], reference[i]);
  }
}

// Records the captions of top-level windows as they appear or are renamed.
class WindowTitles : public QObject
{
public:
  std::vector<std::string> titles;
  bool eventFilter(QObject *object, QEvent *event) override
  {
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget && widget->isWindow() &&
        (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::Show)) {
      const std::string title = widget->windowTitle().toStdString();
      if (!title.empty() && title != "Progress" && (titles.empty() || titles.back() != title))
        titles.push_back(title);
    }
    return false;
  }
};

// With progress on, the steps' windows follow each other in the pipeline's
// order, the parameters window between the alignment and the grid.
TEST_F(DrapeWithDialog, ProgressWindowsAppearInPipelineOrder)
{
  const ON_3dPointArray cloud = uniformCloud(2000, 4.0, 3.0, dome);
  WindowTitles seen;
  qApp->installEventFilter(&seen);
  ON_3dPointArray matrix;
  ON_NurbsSurface surface;
  int rows = 0, cols = 0;
  Answer(nullptr, nullptr, "2");
  EXPECT_EQ(PMSurface::DrapeSurface(matrix, rows, cols, surface, cloud, ON_3dVector(0, 0.2, -1), 1,
                                    1, nullptr),
            1);
  qApp->removeEventFilter(&seen);
  const std::vector<std::string> expected = {"Transforming points",  "Surface Parameters",
                                             "Calculating surface",  "Checking for missing points",
                                             "Interpolating points", "Transforming points",
                                             "Creating surface",     "Offsetting surface",
                                             "Creating surface"};
  EXPECT_EQ(seen.titles, expected);
}

} // namespace
