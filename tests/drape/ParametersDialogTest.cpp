// The "Surface Parameters" window on the Qt toolkit, driven as a user would.
#include "PMSurface.h"
#include "drape/QtDialogDriver.h"
#include "framework/AfxModule.h"
#include "framework/WinApp.h"
#include "ui/LibraryModule.h"
#include "ui/SurfaceParametersDlg.h"

#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace drape_test;

namespace {

constexpr int kRows = CSurfaceParametersDlg::IDC_ROWS;
constexpr int kCols = CSurfaceParametersDlg::IDC_COLS;
constexpr int kDiameter = CSurfaceParametersDlg::IDC_PROBE_DIAMETER;

struct Values
{
  int rows = 7;
  int cols = 14;
  double diameter = 0.0;
  int result = -1;
};

Values Ask(HWND const *parent = nullptr, Values in = Values())
{
  in.result = PMSurface::GetSurfaceParameters(in.rows, in.cols, in.diameter, parent);
  return in;
}

void Type(QLineEdit *box, const char *text)
{
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, text);
}

// What a message box showed before it was closed with its OK button.
struct SeenBox
{
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  QWidget *owner = nullptr;
};

void CloseNextBox(SeenBox &seen, QWidget *dialog)
{
  WhenModal(
      [&seen](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box)
          return;
        seen.text = box->text();
        seen.title = box->windowTitle();
        seen.icon = box->icon();
        seen.buttons = box->buttons().size();
        seen.owner = box->parentWidget();
        box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->accept();
      },
      dialog);
}

class ParametersDialog : public ::testing::Test
{
protected:
  static void SetUpTestSuite() { UseQtToolkit(); }
};

TEST_F(ParametersDialog, CancelLeavesValuesAndSaysCancelled)
{
  const std::function<void(QWidget *)> ways[] = {
      [](QWidget *w) { Item<QPushButton>(w, IDCANCEL)->click(); },
      [](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); },
      [](QWidget *w) { w->close(); },
  };
  AFX_MODULE_STATE *callerState = AfxGetModuleState();
  for (const auto &cancel : ways) {
    PMSurface::SetError(L"");
    WhenModal([&](QWidget *w) {
      Type(Item<QLineEdit>(w, kDiameter), "3");
      cancel(w);
    });
    const Values v = Ask();
    EXPECT_EQ(v.result, 0);
    EXPECT_EQ(PMSurface::GetError(), L"Cancelled");
    EXPECT_EQ(v.rows, 7);
    EXPECT_EQ(v.cols, 14);
    EXPECT_EQ(v.diameter, 0.0);
    EXPECT_EQ(AfxGetModuleState(), callerState);
  }
}

// The window shows what it was given, in the template's layout; OK without
// a change returns the same values.
TEST_F(ParametersDialog, OkUnchangedReturnsTheValuesShown)
{
  QString shown[3], caption;
  AFX_MODULE_STATE *stateWhileOpen = nullptr;
  WhenModal([&](QWidget *w) {
    stateWhileOpen = AfxGetModuleState();
    caption = w->windowTitle();
    shown[0] = Item<QLineEdit>(w, kRows)->text();
    shown[1] = Item<QLineEdit>(w, kCols)->text();
    shown[2] = Item<QLineEdit>(w, kDiameter)->text();
    Item<QPushButton>(w, IDOK)->click();
  });
  PMSurface::SetError(L"older");
  const Values v = Ask();
  EXPECT_EQ(stateWhileOpen, LibraryModuleState());
  EXPECT_EQ(caption, "Surface Parameters");
  EXPECT_EQ(shown[0], "7");
  EXPECT_EQ(shown[1], "14");
  EXPECT_EQ(shown[2], "0");
  EXPECT_EQ(v.result, 1);
  EXPECT_EQ(v.rows, 7);
  EXPECT_EQ(v.cols, 14);
  EXPECT_EQ(v.diameter, 0.0);
  EXPECT_EQ(PMSurface::GetError(), L"older");
}

// Leaving the rows box with 0, or the columns box with -3, shows the warning
// owned by the window and puts the focus back; the value is kept and OK
// accepts it.
TEST_F(ParametersDialog, NonPositiveCountWarnsAndTakesTheFocusBack)
{
  const struct
  {
    int box;
    const char *typed;
    const char *warning;
  } cases[] = {{kRows, "0", "Please enter a positive value for number of rows"},
               {kCols, "-3", "Please enter a positive value for number of columns"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.warning);
    SeenBox seen;
    QWidget *focusAfter = nullptr, *box = nullptr;
    WhenModal([&](QWidget *w) {
      box = Item<QLineEdit>(w, c.box);
      Type(Item<QLineEdit>(w, c.box), c.typed);
      CloseNextBox(seen, w);
      QTest::keyClick(box, Qt::Key_Tab);
      focusAfter = w->focusWidget();
      QTest::keyClick(Item<QLineEdit>(w, c.box), Qt::Key_Return);
    });
    const Values v = Ask();
    EXPECT_EQ(seen.text, c.warning);
    EXPECT_EQ(seen.title, "Warning");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_NE(seen.owner, nullptr);
    EXPECT_EQ(focusAfter, box);
    EXPECT_EQ(v.result, 1);
    EXPECT_EQ(c.box == kRows ? v.rows : v.cols, atoi(c.typed));
  }
}

// The probe diameter is never checked: a negative one comes back as typed.
TEST_F(ParametersDialog, NegativeDiameterReturnedAsTyped)
{
  WhenModal([](QWidget *w) {
    Type(Item<QLineEdit>(w, kRows), "12");
    Type(Item<QLineEdit>(w, kDiameter), "-2.5");
    Item<QPushButton>(w, IDOK)->click();
  });
  const Values v = Ask();
  EXPECT_EQ(v.result, 1);
  EXPECT_EQ(v.rows, 12);
  EXPECT_EQ(v.diameter, -2.5);
}

// Text that is not a number: the framework says so and the window stays
// open until the text is corrected.
TEST_F(ParametersDialog, UnreadableTextKeepsTheWindowOpen)
{
  SeenBox seen;
  bool stillOpen = false;
  WhenModal([&](QWidget *w) {
    Type(Item<QLineEdit>(w, kDiameter), "1.5mm");
    CloseNextBox(seen, w);
    Item<QPushButton>(w, IDOK)->click();
    stillOpen = w->isVisible();
    Type(Item<QLineEdit>(w, kDiameter), "1.5");
    Item<QPushButton>(w, IDOK)->click();
  });
  const Values v = Ask();
  EXPECT_FALSE(seen.text.isEmpty());
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(v.result, 1);
  EXPECT_EQ(v.diameter, 1.5);
}

// The owner: the window behind a non-null pointer; for a null pointer the
// thread's main window, or none; a null handle behind a pointer means none
// even when there is a main window.
TEST_F(ParametersDialog, ParentWindowConvention)
{
  QWidget host, mainWindow;
  host.show();
  mainWindow.show();
  CWinThread thread;
  auto ownerFor = [](HWND const *parent) {
    QWidget *owner = reinterpret_cast<QWidget *>(1);
    WhenModal([&](QWidget *w) {
      owner = w->parentWidget();
      Item<QPushButton>(w, IDOK)->click();
    });
    EXPECT_EQ(Ask(parent).result, 1);
    return owner;
  };
  const HWND hostHandle = HwndFromWidget(&host);
  const HWND nullHandle = nullptr;

  EXPECT_EQ(ownerFor(nullptr), nullptr);
  EXPECT_EQ(ownerFor(&hostHandle), &host);

  thread.m_pMainWnd = CWnd::FromHandle(HwndFromWidget(&mainWindow));
  AfxSetThread(&thread);
  EXPECT_EQ(ownerFor(nullptr), &mainWindow);
  EXPECT_EQ(ownerFor(&hostHandle), &host);
  EXPECT_EQ(ownerFor(&nullHandle), nullptr);
  AfxSetThread(nullptr);
}

} // namespace
