// What the files of the Qt toolkit share: text conversion, the dialog widget
// that routes events, the widgets that paint themselves, and the entries
// that build windows and message boxes.
#pragma once

#include "framework/Toolkit.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QString>

#include <memory>

inline QString ToQString(const CString &text)
{
  return QString::fromWCharArray(text.GetString());
}

inline CString FromQString(const QString &text)
{
  return CString(text.toStdWString());
}

// The dialog widget (QtEvents.cpp). Routes its close box, Escape, the
// buttons and the edits' focus loss to the framework object, and counts the
// callbacks it is inside of, so that a handler may close the window under
// its own feet.
class TemplateDialog : public QDialog
{
public:
  TemplateDialog(QWidget *owner, PMWindowEvents *events) : QDialog(owner), m_events(events) {}

  void Notify(int itemId, UINT code);
  void Detach() { m_events = nullptr; }
  bool InCallback() const { return m_callbackDepth > 0; }

  void reject() override;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  PMWindowEvents *m_events;
  int m_callbackDepth = 0;
  bool m_inKillFocus = false;
};

// The progress bar (QtPainting.cpp): a sunken frame and a solid bar, painted
// with plain opaque rectangle fills only, since it repaints at every percent.
class PlainProgressBar : public QProgressBar
{
public:
  using QProgressBar::QProgressBar;

protected:
  void paintEvent(QPaintEvent *) override;
};

// A one-line label that keeps pictures of the texts it showed (shared by
// all windows), so that the percentage line, redrawn at every percent, is
// rendered once per text and afterwards only copied (QtPainting.cpp).
class CachedLabel : public QLabel
{
public:
  using QLabel::QLabel;

protected:
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  QString m_looks; // what, besides the text, the picture depends on
};

// A window built from `dialog` (QtWindows.cpp), owned by `owner` when not
// null, placed over it or on the primary screen.
std::unique_ptr<PMToolkitWindow> CreateQtWindow(const DialogTemplate &dialog, QWidget *owner,
                                                bool modal, PMWindowEvents &events);

// Runs a message box of the MB_* `type` (QtMessageBox.cpp); IDOK or
// IDCANCEL.
int RunQtMessageBox(QWidget *owner, const CString &text, const CString &caption, UINT type);
