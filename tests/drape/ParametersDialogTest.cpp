// The "Surface Parameters" window on the Qt toolkit, answered as a user
// would, alone and inside DrapeSurface.
#include "PMSurface.h"
#include "drape/HeightFieldCloud.h"
#include "drape/QtDialogDriver.h"
#include "framework/AfxModule.h"
#include "framework/WinApp.h"
#include "ui/LibraryModule.h"
#include "ui/SurfaceParametersDlg.h"

#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace drape_test;

namespace {

constexpr int kRows = CSurfaceParametersDlg::IDC_ROWS;
constexpr int kCols = CSurfaceParametersDlg::IDC_COLS;
constexpr int kDiameter = CSurfaceParametersDlg::IDC_PROBE_DIAMETER;
const ON_3dVector kDown(0.0, 0.0, -1.0);

void Type(QWidget *window, int box, const char *text)
{
  QLineEdit *edit = Item<QLineEdit>(window, box);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

// Answers the next parameters window: puts the given texts in the boxes
// (null keeps a box as it is) and presses OK.
void Answer(const char *rows, const char *cols, const char *diameter)
{
  WhenModal([=](QWidget *w) {
    const std::pair<int, const char *> boxes[] = {
        {kRows, rows}, {kCols, cols}, {kDiameter, diameter}};
    for (const auto &[box, text] : boxes)
      if (text)
        Item<QLineEdit>(w, box)->setText(text);
    Item<QPushButton>(w, IDOK)->click();
  });
}

// rows, cols, diameter and the result of asking with 7, 14 and 0.
std::tuple<int, int, double, int> Ask(HWND const *parent = nullptr)
{
  int rows = 7, cols = 14;
  double diameter = 0.0;
  const int result = PMSurface::GetSurfaceParameters(rows, cols, diameter, parent);
  return {rows, cols, diameter, result};
}

// Closes the next message box over `dialog` with OK; `seen` becomes
// "<caption>: <text>", marked " (owned warning)" for a one-button warning
// with an owner.
void CloseNextBox(QString &seen, QWidget *dialog)
{
  WhenModal(
      [&seen](QWidget *w) {
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
          seen = box->windowTitle() + ": " + box->text();
          if (box->icon() == QMessageBox::Warning && box->buttons().size() == 1 &&
              box->parentWidget())
            seen += " (owned warning)";
          box->button(QMessageBox::Ok)->click();
        }
      },
      dialog);
}

class ParametersDialog : public ::testing::Test
{
protected:
  static void SetUpTestSuite() { UseQtToolkit(); }
};

TEST_F(ParametersDialog, CancelLeavesTheValues)
{
  AFX_MODULE_STATE *callerState = AfxGetModuleState();
  PMSurface::SetError(L"");
  WhenModal([&](QWidget *w) {
    Type(w, kDiameter, "3");
    Item<QPushButton>(w, IDCANCEL)->click();
  });
  EXPECT_EQ(Ask(), std::make_tuple(7, 14, 0.0, 0));
  EXPECT_EQ(PMSurface::GetError(), L"Cancelled");
  EXPECT_EQ(AfxGetModuleState(), callerState);
}

// OK without a change returns the values shown; the diameter is never
// checked. (Text that is not a number is the dialog framework's to refuse.)
TEST_F(ParametersDialog, OkReturnsTheValuesAsTyped)
{
  QStringList shown;
  AFX_MODULE_STATE *stateWhileOpen = nullptr;
  WhenModal([&](QWidget *w) {
    stateWhileOpen = AfxGetModuleState();
    shown << w->windowTitle();
    for (int box : {kRows, kCols, kDiameter})
      shown << Item<QLineEdit>(w, box)->text();
    Item<QPushButton>(w, IDOK)->click();
  });
  PMSurface::SetError(L"older");
  EXPECT_EQ(Ask(), std::make_tuple(7, 14, 0.0, 1));
  EXPECT_EQ(shown, (QStringList{"Surface Parameters", "7", "14", "0"}));
  EXPECT_EQ(stateWhileOpen, LibraryModuleState());
  EXPECT_EQ(PMSurface::GetError(), L"older");

  Answer("12", nullptr, "-2.5");
  EXPECT_EQ(Ask(), std::make_tuple(12, 14, -2.5, 1));
}

// Leaving the rows box with 0, or the columns box with -3, shows a warning
// owned by the window and puts the focus back; OK then accepts the value.
TEST_F(ParametersDialog, NonPositiveCountWarnsAndTakesTheFocusBack)
{
  const std::tuple<int, const char *, const char *, std::tuple<int, int, double, int>> cases[] = {
      {kRows,
       "0",
       "Warning: Please enter a positive value for number of rows (owned warning)",
       {0, 14, 0.0, 1}},
      {kCols,
       "-3",
       "Warning: Please enter a positive value for number of columns (owned warning)",
       {7, -3, 0.0, 1}}};
  for (const auto &[box, typed, warning, expected] : cases) {
    SCOPED_TRACE(warning);
    QString seen;
    QWidget *focusAfter = nullptr, *edit = nullptr;
    WhenModal([&, box = box, typed = typed](QWidget *w) {
      edit = Item<QLineEdit>(w, box);
      Type(w, box, typed);
      CloseNextBox(seen, w);
      QTest::keyClick(edit, Qt::Key_Tab);
      focusAfter = w->focusWidget();
      QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(Ask(), expected);
    EXPECT_EQ(seen, warning);
    EXPECT_EQ(focusAfter, edit);
  }
}

// The owner: the window behind a non-null pointer; for a null pointer the
// thread's main window, or none; a null handle behind a pointer means none.
TEST_F(ParametersDialog, ParentWindowConvention)
{
  QWidget host, mainWindow;
  host.show();
  mainWindow.show();
  auto ownerFor = [](HWND const *parent) {
    QWidget *owner = reinterpret_cast<QWidget *>(1);
    WhenModal([&](QWidget *w) {
      owner = w->parentWidget();
      Item<QPushButton>(w, IDOK)->click();
    });
    EXPECT_EQ(std::get<3>(Ask(parent)), 1);
    return owner;
  };
  const HWND hostHandle = HwndFromWidget(&host), nullHandle = nullptr;
  EXPECT_EQ(ownerFor(nullptr), nullptr);
  EXPECT_EQ(ownerFor(&hostHandle), &host);

  CWinThread thread;
  thread.m_pMainWnd = CWnd::FromHandle(HwndFromWidget(&mainWindow));
  AfxSetThread(&thread);
  EXPECT_EQ(ownerFor(nullptr), &mainWindow);
  EXPECT_EQ(ownerFor(&hostHandle), &host);
  EXPECT_EQ(ownerFor(&nullHandle), nullptr);
  AfxSetThread(nullptr);
}

struct Drape
{
  int result = -1, rows = -1, cols = -1;
  ON_3dPointArray matrix;
  ON_NurbsSurface surface;
  void Run(const ON_3dPointArray &cloud, const ON_3dVector &direction, int interpolate = 1,
           int progress = 0)
  {
    result = PMSurface::DrapeSurface(matrix, rows, cols, surface, cloud, direction, interpolate,
                                     progress, nullptr);
  }
};

// Cancel: 0 with "Cancelled", the suggestion in rows and cols, matrix and
// surface as they were.
TEST_F(ParametersDialog, CancelledDrapeLeavesMatrixAndSurface)
{
  Drape d;
  d.matrix.Append(ON_3dPoint(1, 2, 3));
  QString diameterShown;
  WhenModal([&](QWidget *w) {
    diameterShown = Item<QLineEdit>(w, kDiameter)->text();
    Item<QPushButton>(w, IDCANCEL)->click();
  });
  d.Run(jitteredGrid(21, dome, 0.2), kDown);
  EXPECT_EQ(std::make_tuple(d.result, d.rows, d.cols), std::make_tuple(0, 21, 21));
  EXPECT_EQ(PMSurface::GetError(), L"Cancelled");
  EXPECT_EQ(diameterShown, "0");
  ASSERT_EQ(d.matrix.Count(), 1);
  EXPECT_EQ(d.matrix[0], ON_3dPoint(1, 2, 3));
  EXPECT_EQ(d.surface.CVCount(0), 0);
}

// A probe diameter of 2 over a flat plate moves every matrix point and the
// surface by 1 along the drape direction, from above and from below.
TEST_F(ParametersDialog, ProbeDiameterMovesTheMatrixAlongTheDirection)
{
  ON_3dPointArray plate = uniformCloud(400, 10.0, 10.0, [](double, double) { return 0.0; });
  plate.Append(ON_3dPoint(0, 0, 0));
  plate.Append(ON_3dPoint(10, 10, 0));
  for (double sense : {-1.0, 1.0}) {
    SCOPED_TRACE(sense);
    Drape d;
    Answer("6", "5", "2");
    d.Run(plate, ON_3dVector(0, 0, 3 * sense));
    ASSERT_EQ(std::make_tuple(d.result, d.rows, d.cols, d.matrix.Count()),
              std::make_tuple(1, 6, 5, 30));
    for (int i = 0; i < d.matrix.Count(); ++i)
      EXPECT_NEAR(d.matrix[i].z, sense, 1e-9);
    ASSERT_TRUE(d.surface.IsValid());
    EXPECT_NEAR(d.surface.PointAt(1.5, 2.0).z, sense, 1e-9);
  }
}

// Two rows are fewer than the surface order: the 2-row matrix is returned,
// the fit fails with "Invalid Nurbs Surface" and the result is still 1, also
// when the compensation runs on the failed surface (points unmoved).
TEST_F(ParametersDialog, TwoRowsGiveAnInvalidSurfaceButResultOne)
{
  const ON_3dPointArray cloud = jitteredGrid(11, dome, 0.2);
  ON_3dPointArray reference;
  PMSurface::CreatePointMatrix(cloud, 2, 11, reference, 0, 0);
  ASSERT_EQ(reference.Count(), 22);
  for (const char *diameter : {"0", "2"}) {
    SCOPED_TRACE(diameter);
    Drape d;
    PMSurface::SetError(L"");
    Answer("2", nullptr, diameter);
    d.Run(cloud, kDown, 0);
    EXPECT_EQ(std::make_tuple(d.result, d.rows, d.cols), std::make_tuple(1, 2, 11));
    EXPECT_EQ(PMSurface::GetError(), L"Invalid Nurbs Surface");
    EXPECT_FALSE(d.surface.IsValid());
    ASSERT_EQ(d.matrix.Count(), 22);
    for (int i = 0; i < 22; ++i)
      EXPECT_EQ(d.matrix[i], reference[i]);
  }
}

// Records the captions of top-level windows other than "Progress" as they
// appear or are renamed.
struct WindowTitles : QObject
{
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

TEST_F(ParametersDialog, ProgressWindowsAppearInPipelineOrder)
{
  WindowTitles seen;
  qApp->installEventFilter(&seen);
  Drape d;
  Answer(nullptr, nullptr, "2");
  d.Run(uniformCloud(2000, 4.0, 3.0, dome), ON_3dVector(0, 0.2, -1), 1, 1);
  qApp->removeEventFilter(&seen);
  EXPECT_EQ(d.result, 1);
  const std::vector<std::string> expected = {"Transforming points",  "Surface Parameters",
                                             "Calculating surface",  "Checking for missing points",
                                             "Interpolating points", "Transforming points",
                                             "Creating surface",     "Offsetting surface",
                                             "Creating surface"};
  EXPECT_EQ(seen.titles, expected);
}

} // namespace
