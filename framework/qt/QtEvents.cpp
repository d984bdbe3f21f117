// Event routing of the Qt toolkit's dialog widget to the framework object.
#include "framework/qt/QtToolkitParts.h"

#include <QEvent>
#include <QFocusEvent>
#include <QPointer>
#include <QVariant>

void TemplateDialog::Notify(int itemId, UINT code)
{
  if (!m_events)
    return;
  QPointer<TemplateDialog> alive(this);
  ++m_callbackDepth;
  m_events->OnToolkitCommand(itemId, code);
  if (alive)
    --m_callbackDepth;
}

void TemplateDialog::reject()
{
  Notify(IDCANCEL, BN_CLICKED);
}

bool TemplateDialog::eventFilter(QObject *watched, QEvent *event)
{
  if (event->type() == QEvent::FocusOut && !m_inKillFocus) {
    // Only focus moves inside the dialog: not the focus taken by another
    // window (a message box opened by a handler, another application).
    auto reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      int id = watched->property("pmItemId").toInt();
      QPointer<TemplateDialog> alive(this);
      m_inKillFocus = true;
      Notify(id, EN_KILLFOCUS);
      if (alive)
        m_inKillFocus = false;
    }
  }
  return QDialog::eventFilter(watched, event);
}
