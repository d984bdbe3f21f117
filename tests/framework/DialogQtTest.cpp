// Modal dialogs from templates on real Qt widgets: data exchange, the
// buttons and keys that end them, kill-focus handlers and message boxes.
#include "TestDialog.h"

#include "PMToolkit.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct Box
{
  QString caption, text;
  QMessageBox::Icon icon;
};

// Answers every message box that appears with OK and records it.
class BoxCloser
{
public:
  BoxCloser()
  {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (box && box->isVisible()) {
          boxes.push_back({box->windowTitle(), box->text(), box->icon()});
          box->button(QMessageBox::Ok)->click();
        }
      }
    });
    m_timer.start(5);
  }
  std::vector<Box> boxes;

private:
  QTimer m_timer;
};

QLineEdit *Edit(QWidget *dialog, int id)
{
  for (QLineEdit *edit : dialog->findChildren<QLineEdit *>())
    if (edit->property("pmItemId").toInt() == id)
      return edit;
  return nullptr;
}

// Runs the dialog modally; `drive` acts on its window once it is up.
INT_PTR RunModal(CTestDlg &dialog, std::function<void(QWidget *)> drive)
{
  QTimer::singleShot(0, [drive] {
    QWidget *window = QApplication::activeModalWidget();
    ASSERT_NE(window, nullptr);
    QApplication::setActiveWindow(window);
    drive(window);
  });
  AFX_MAINTAIN_STATE2 state(CTestDlg::Module());
  return dialog.DoModal();
}

class DialogQtTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    PMSelectToolkit(PMToolkitKind::Qt);
    ASSERT_EQ(PMCurrentToolkit(), PMToolkitKind::Qt);
  }
};

TEST_F(DialogQtTest, OkReadsEveryBoxIntoItsField)
{
  CTestDlg dialog;
  QStringList shown;
  INT_PTR result = RunModal(dialog, [&](QWidget *window) {
    for (int id : {CTestDlg::IDC_COUNT, CTestDlg::IDC_SIZE, CTestDlg::IDC_NAME})
      shown << Edit(window, id)->text();
    Edit(window, CTestDlg::IDC_COUNT)->setText("7");
    Edit(window, CTestDlg::IDC_SIZE)->setText(" -2.25 ");
    Edit(window, CTestDlg::IDC_NAME)->setText(QString::fromUtf8("x \xC3\xA9"));
    window->findChild<QPushButton *>()->click(); // OK comes first
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(shown, (QStringList{"3", "1.5", "abc"}));
  EXPECT_EQ(dialog.m_nCount, 7);
  EXPECT_DOUBLE_EQ(dialog.m_dSize, -2.25);
  EXPECT_EQ(dialog.m_strName, L"x \u00E9");
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr); // the window is gone after DoModal
}

TEST_F(DialogQtTest, CancelEscapeAndCloseBoxLeaveTheFields)
{
  const std::vector<std::function<void(QWidget *)>> endings = {
      [](QWidget *w) { w->findChildren<QPushButton *>().at(1)->click(); },
      [](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); },
      [](QWidget *w) { w->close(); },
  };
  for (const auto &ending : endings) {
    CTestDlg dialog;
    INT_PTR result = RunModal(dialog, [&](QWidget *window) {
      Edit(window, CTestDlg::IDC_COUNT)->setText("99");
      ending(window);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.m_nCount, 3);
  }
}

TEST_F(DialogQtTest, EnterPressesTheDefaultButton)
{
  CTestDlg dialog;
  INT_PTR result = RunModal(dialog, [](QWidget *window) {
    QLineEdit *name = Edit(window, CTestDlg::IDC_NAME);
    name->setText("entered");
    QTest::keyClick(name, Qt::Key_Return);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.m_strName, L"entered");
}

TEST_F(DialogQtTest, UnreadableNumberKeepsTheDialogOpen)
{
  BoxCloser closer;
  CTestDlg dialog;
  bool stayedOpen = false;
  INT_PTR result = RunModal(dialog, [&](QWidget *window) {
    Edit(window, CTestDlg::IDC_SIZE)->setText("1.5x");
    window->findChild<QPushButton *>()->click();
    stayedOpen = window->isVisible();
    Edit(window, CTestDlg::IDC_SIZE)->setText("2");
    window->findChild<QPushButton *>()->click();
  });
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(result, IDOK);
  ASSERT_EQ(closer.boxes.size(), 1u);
  EXPECT_EQ(closer.boxes[0].text, "Please enter a number.");
  EXPECT_DOUBLE_EQ(dialog.m_dSize, 2.0);
}

TEST_F(DialogQtTest, KillFocusHandlerWarnsAndTakesTheFocusBack)
{
  BoxCloser closer;
  CTestDlg dialog;
  QWidget *focusAfterWarning = nullptr;
  QLineEdit *countBox = nullptr;
  INT_PTR result = RunModal(dialog, [&](QWidget *window) {
    countBox = Edit(window, CTestDlg::IDC_COUNT);
    countBox->setFocus(Qt::OtherFocusReason);
    countBox->setText("0");
    QTest::keyClick(countBox, Qt::Key_Tab);    // on to the size box
    focusAfterWarning = window->focusWidget(); // the box that has the focus in the dialog
    QApplication::setActiveWindow(window);     // no window manager gives it back here
    countBox->setText("4");
    QTest::keyClick(countBox, Qt::Key_Tab);
    window->findChild<QPushButton *>()->click();
  });
  EXPECT_EQ(result, IDOK);
  ASSERT_EQ(closer.boxes.size(), 1u);
  EXPECT_EQ(closer.boxes[0].caption, "Warning");
  EXPECT_EQ(closer.boxes[0].text, "Please enter a positive count");
  EXPECT_EQ(closer.boxes[0].icon, QMessageBox::Warning);
  EXPECT_EQ(focusAfterWarning, countBox);
  EXPECT_EQ(dialog.m_nKillFocusCount, 2);
  EXPECT_EQ(dialog.m_nCount, 4);
}

TEST_F(DialogQtTest, MissingTemplateCannotOpen)
{
  CDialog dialog(CTestDlg::IDD);
  EXPECT_EQ(dialog.DoModal(), -1); // not in the current module's resources
  EXPECT_FALSE(dialog.Create(CTestDlg::IDD));
}

TEST_F(DialogQtTest, MessageBoxReturnsWhenClosed)
{
  BoxCloser closer;
  CWnd owner;
  EXPECT_EQ(owner.MessageBoxW(L"Done", L"Info", MB_ICONINFORMATION), IDOK);
  ASSERT_EQ(closer.boxes.size(), 1u);
  EXPECT_EQ(closer.boxes[0].icon, QMessageBox::Information);
}

} // namespace
