// The Qt toolkit itself: which windows it may open, on which thread, and the
// application object it starts when the process has none.
#include "framework/QtHandle.h"
#include "framework/qt/QtDisplay.h"
#include "framework/qt/QtToolkitParts.h"

#include <QApplication>
#include <QThread>

namespace {

// `handle` as a live widget of this application, or null (a handle of
// another toolkit, or of a widget that is gone, is never dereferenced).
QWidget *LiveWidget(HWND handle)
{
  if (!handle)
    return nullptr;
  QWidget *candidate = WidgetFromHwnd(handle);
  const QWidgetList widgets = QApplication::allWidgets();
  return widgets.contains(candidate) ? candidate : nullptr;
}

class QtToolkit final : public PMToolkit
{
public:
  // With `modalOnlyWhereSeen`, modal windows and message boxes do not open
  // on a platform whose windows nobody sees: no one could answer them.
  explicit QtToolkit(bool modalOnlyWhereSeen) : m_modalOnlyWhereSeen(modalOnlyWhereSeen) {}

  std::unique_ptr<PMToolkitWindow> CreateDialogWindow(const DialogTemplate &dialog, HWND owner,
                                                      bool modal, PMWindowEvents &events) override
  {
    if (!OnGuiThread() || (modal && !AnswerableHere()))
      return nullptr;
    return CreateQtWindow(dialog, LiveWidget(owner), modal, events);
  }

  int MessageBox(HWND owner, const CString &text, const CString &caption, UINT type) override
  {
    if (!OnGuiThread() || !AnswerableHere())
      return 0;
    return RunQtMessageBox(LiveWidget(owner), text, caption, type);
  }

private:
  static bool OnGuiThread() { return qApp && QThread::currentThread() == qApp->thread(); }
  bool AnswerableHere() const
  {
    return !m_modalOnlyWhereSeen ||
           !QtPlatformInvisible(QGuiApplication::platformName().toStdString());
  }

  bool m_modalOnlyWhereSeen;
};

} // namespace

PMToolkit *QtToolkitIfAvailable(bool visibleOnly)
{
  static QtToolkit anywhere(false), seenOnly(true);
  QtToolkit *toolkit = visibleOnly ? &seenOnly : &anywhere;
  QCoreApplication *app = QCoreApplication::instance();
  if (app)
    return qobject_cast<QApplication *>(app) ? toolkit : nullptr;
  const QtScreenCheck screen;
  if (!screen.Usable())
    return nullptr;
  // The library's own application object, kept for the life of the process,
  // made while the check's connection still holds the X server.
  static int argc = 1;
  static char name[] = "pelmora";
  static char *argv[] = {name, nullptr};
  static QApplication *own = new QApplication(argc, argv);
  return own ? toolkit : nullptr;
}
