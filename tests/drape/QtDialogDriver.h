// Drives the library's modal windows on the Qt toolkit from inside their
// own modal loops, as a user would: a timer waits for the next modal window
// and hands it to an action.
#pragma once

#include "PMToolkit.h"
#include "framework/CWnd.h"
#include "framework/QtHandle.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace drape_test {

// The test program's QApplication (the host's), created once; selects the
// Qt toolkit.
inline void UseQtToolkit()
{
  static int argc = 1;
  static char name[] = "test_drape";
  static char *argv[] = {name, nullptr};
  if (!qApp)
    new QApplication(argc, argv);
  PMSelectToolkit(PMToolkitKind::Qt);
}

// Activates the first modal window other than `previous` that appears and
// calls `action` with it; gives up after about ten seconds.
inline void WhenModal(std::function<void(QWidget *)> action, QWidget *previous = nullptr)
{
  auto *timer = new QTimer(qApp);
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [=] {
    QWidget *modal = QApplication::activeModalWidget();
    const bool found = modal && modal != previous && modal->isVisible();
    if (!found && ++*tries < 1000)
      return;
    timer->stop();
    timer->deleteLater();
    if (!found)
      return;
    QApplication::setActiveWindow(modal); // focus events need an active window
    action(modal);
  });
  timer->start(10);
}

// The control with id `itemId` of a window that the framework built.
template <class Widget> Widget *Item(QWidget *window, int itemId)
{
  CWnd *dialog = CWnd::FromHandle(HwndFromWidget(window));
  CWnd *item = dialog ? dialog->GetDlgItem(itemId) : nullptr;
  return item ? qobject_cast<Widget *>(WidgetFromHwnd(item->GetSafeHwnd())) : nullptr;
}

} // namespace drape_test
