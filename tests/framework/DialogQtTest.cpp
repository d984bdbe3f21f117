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

// Answers every message box that appears with OK and records it as
// "<caption>: <text> [<icon>]".
struct BoxCloser
{
  QStringList boxes;
  QTimer timer;
  BoxCloser()
  {
    QObject::connect(&timer, &QTimer::timeout, [this] {
      for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible()) {
          boxes << QString("%1: %2 [%3]").arg(box->windowTitle(), box->text()).arg(box->icon());
          box->button(QMessageBox::Ok)->click();
        }
    });
    timer.start(5);
  }
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

// Enter in a box presses the default OK; every box is read into its field.
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
    QTest::keyClick(Edit(window, CTestDlg::IDC_NAME), Qt::Key_Return);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(shown, (QStringList{"3", "1.5", "abc"}));
  EXPECT_EQ(dialog.m_nCount, 7);
  EXPECT_DOUBLE_EQ(dialog.m_dSize, -2.25);
  EXPECT_EQ(dialog.m_strName, L"x \u00E9");
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
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
  ASSERT_EQ(closer.boxes.size(), 1);
  EXPECT_TRUE(closer.boxes[0].contains(": Please enter a number. ["))
      << closer.boxes[0].toStdString();
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
    QTest::keyClick(countBox, Qt::Key_Tab);
    focusAfterWarning = window->focusWidget();
    QApplication::setActiveWindow(window); // no window manager gives it back here
    countBox->setText("4");
    QTest::keyClick(countBox, Qt::Key_Tab);
    window->findChild<QPushButton *>()->click();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(closer.boxes,
            QStringList{
                QString("Warning: Please enter a positive count [%1]").arg(QMessageBox::Warning)});
  EXPECT_EQ(focusAfterWarning, countBox);
  EXPECT_EQ(std::make_pair(dialog.m_nKillFocusCount, dialog.m_nCount), std::make_pair(2, 4));
}

// Without its template a dialog cannot open; a message box returns its
// button once closed.
TEST_F(DialogQtTest, MissingTemplateAndMessageBox)
{
  CDialog dialog(CTestDlg::IDD);
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_FALSE(dialog.Create(CTestDlg::IDD));
  BoxCloser closer;
  EXPECT_EQ(CWnd().MessageBoxW(L"Done", L"Info", MB_ICONINFORMATION), IDOK);
  EXPECT_EQ(closer.boxes, QStringList{QString("Info: Done [%1]").arg(QMessageBox::Information)});
}

} // namespace
