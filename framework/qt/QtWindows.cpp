// The Qt toolkit's windows: dialogs built from templates, their items, and
// their placement, repaints and modal runs.
#include "framework/DialogTemplate.h"
#include "framework/QtHandle.h"
#include "framework/qt/QtToolkitParts.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <vector>

namespace {

// How long Show waits for the window system to map a new window: at most
// this many rounds of event processing of this many milliseconds each.
constexpr int kExposeRounds = 50;
constexpr int kExposeRoundMs = 5;

struct Item
{
  int id;
  QWidget *widget;
};

class QtWindow final : public PMToolkitWindow
{
public:
  QtWindow(const DialogTemplate &dialog, QWidget *owner, bool modal, PMWindowEvents &events);
  ~QtWindow() override;

  HWND Handle() const override { return HwndFromWidget(m_dialog); }
  HWND ItemHandle(int itemId) const override
  {
    const Item *item = Find(itemId);
    return item ? HwndFromWidget(item->widget) : nullptr;
  }
  void SetCaption(const CString &text) override { m_dialog->setWindowTitle(ToQString(text)); }
  CString Caption() const override { return FromQString(m_dialog->windowTitle()); }
  void SetItemText(int itemId, const CString &text) override;
  CString ItemText(int itemId) const override;
  void SetProgressPos(int itemId, int pos) override;
  int ProgressPos(int itemId) const override;
  void FocusItem(int itemId) override;
  void Show() override;
  void HoldRepaints(bool hold) override;
  int RunModal() override;
  void EndModal(int code) override;

private:
  const Item *Find(int itemId) const
  {
    for (const Item &item : m_items)
      if (item.id == itemId)
        return &item;
    return nullptr;
  }
  void BuildItem(const DialogItemTemplate &item, const QFontMetrics &metrics);
  void Place(QWidget *owner);

  TemplateDialog *m_dialog;
  std::vector<Item> m_items;
  QSize m_baseUnits;
  // Draws `widget` now, or with the batch when repaints are held.
  void Repaint(QWidget *widget);
  int m_holds = 0;
  QWidget *m_heldChange = nullptr; // a widget changed while held
  bool m_running = false;
  bool m_ended = false;
  int m_endCode = IDCANCEL;
  const DialogTemplate &m_template;
};

// Dialog-unit base from the font, as the host system measures it: the
// average width of the 52 Latin letters and the font's height.
QSize BaseUnits(const QFontMetrics &metrics)
{
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  int width = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
  return QSize(width > 0 ? width : 1, metrics.height() > 0 ? metrics.height() : 1);
}

QRect ToPixels(const QSize &base, int x, int y, int cx, int cy)
{
  auto px = [&](int v) { return v * base.width() / 4; };
  auto py = [&](int v) { return v * base.height() / 8; };
  return QRect(px(x), py(y), px(cx), py(cy));
}

QtWindow::QtWindow(const DialogTemplate &dialog, QWidget *owner, bool modal, PMWindowEvents &events)
    : m_dialog(new TemplateDialog(owner ? owner->window() : nullptr, &events)), m_template(dialog)
{
  QFont font(QString::fromWCharArray(dialog.fontName ? dialog.fontName : L""),
             dialog.pointSize > 0 ? dialog.pointSize : 8);
  font.setWeight(dialog.weight >= 600 ? QFont::Bold : QFont::Normal);
  font.setItalic(dialog.italic);
  m_dialog->setFont(font);
  QFontMetrics metrics(font);
  m_baseUnits = BaseUnits(metrics);
  m_dialog->setWindowTitle(QString::fromWCharArray(dialog.caption ? dialog.caption : L""));
  m_dialog->setModal(modal);
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (dialog.style & WS_SYSMENU)
    flags |= Qt::WindowCloseButtonHint;
  m_dialog->setWindowFlags(flags);
  m_dialog->setFixedSize(ToPixels(m_baseUnits, 0, 0, dialog.cx, dialog.cy).size());
  for (const DialogItemTemplate &item : dialog.items)
    BuildItem(item, metrics);
  QWidget *previous = nullptr;
  for (const Item &item : m_items) { // tab order: template order
    if (item.widget->focusPolicy() == Qt::NoFocus)
      continue;
    if (previous)
      QWidget::setTabOrder(previous, item.widget);
    previous = item.widget;
  }
  Place(owner);
}

void QtWindow::Show()
{
  m_dialog->show();
  // Let the window system map the window once, so that the synchronous
  // repaints of the updates reach the screen; user input stays queued.
  for (int i = 0;
       i < kExposeRounds && m_dialog->windowHandle() && !m_dialog->windowHandle()->isExposed(); ++i)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, kExposeRoundMs);
  m_dialog->repaint();
}

void QtWindow::BuildItem(const DialogItemTemplate &item, const QFontMetrics &metrics)
{
  const QRect rect = ToPixels(m_baseUnits, item.x, item.y, item.cx, item.cy);
  const QString text = QString::fromWCharArray(item.text ? item.text : L"");
  const DialogItemKind kind = KindOfItem(item);
  QWidget *widget = nullptr;
  switch (kind) {
  case DialogItemKind::Label: {
    auto *label = new CachedLabel(text, m_dialog);
    label->setAttribute(Qt::WA_OpaquePaintEvent); // paints its own background
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(rect.height() > metrics.height());
    label->setTextFormat(Qt::PlainText);
    widget = label;
    break;
  }
  case DialogItemKind::EtchedLine: {
    auto *line = new QFrame(m_dialog);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    widget = line;
    break;
  }
  case DialogItemKind::Edit: {
    auto *edit = new QLineEdit(text, m_dialog);
    edit->installEventFilter(m_dialog);
    widget = edit;
    break;
  }
  case DialogItemKind::Button: {
    auto *button = new QPushButton(text, m_dialog);
    button->setAutoDefault(false);
    button->setDefault((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
    const int id = item.id;
    TemplateDialog *dialog = m_dialog;
    QObject::connect(button, &QPushButton::clicked, dialog,
                     [dialog, id] { dialog->Notify(id, BN_CLICKED); });
    widget = button;
    break;
  }
  case DialogItemKind::ProgressBar: {
    auto *bar = new PlainProgressBar(m_dialog);
    bar->setAttribute(Qt::WA_OpaquePaintEvent);
    bar->setRange(0, kProgressRange);
    bar->setValue(0);
    bar->setTextVisible(false);
    widget = bar;
    break;
  }
  case DialogItemKind::Other:
    widget = new QWidget(m_dialog);
    break;
  }
  widget->setProperty("pmItemId", item.id);
  widget->setGeometry(rect);
  widget->setFocusPolicy((item.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::NoFocus);
  if (kind == DialogItemKind::Edit)
    widget->setFocusPolicy(Qt::StrongFocus);
  widget->setVisible(item.style & WS_VISIBLE);
  m_items.push_back({item.id, widget});
}

void QtWindow::Place(QWidget *owner)
{
  const QSize size = m_dialog->size();
  QRect area;
  if (owner && owner->window()->isVisible())
    area = owner->window()->frameGeometry();
  else if (QScreen *screen = QGuiApplication::primaryScreen())
    area = screen->availableGeometry();
  if (area.isEmpty())
    return;
  if (m_template.style & DS_CENTER) {
    m_dialog->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
  } else {
    const QRect offset = ToPixels(m_baseUnits, m_template.x, m_template.y, 0, 0);
    m_dialog->move(area.topLeft() + offset.topLeft());
  }
}

QtWindow::~QtWindow()
{
  m_dialog->Detach();
  if (m_dialog->InCallback()) { // closed from one of its own handlers
    m_dialog->hide();
    m_dialog->deleteLater();
  } else {
    delete m_dialog;
  }
}

void QtWindow::SetItemText(int itemId, const CString &text)
{
  const Item *item = Find(itemId);
  if (!item)
    return;
  const QString value = ToQString(text);
  if (auto *label = qobject_cast<QLabel *>(item->widget)) {
    if (label->text() == value)
      return;
    label->setText(value);
    Repaint(label);
  } else if (auto *edit = qobject_cast<QLineEdit *>(item->widget)) {
    if (edit->text() != value)
      edit->setText(value);
  } else if (auto *button = qobject_cast<QPushButton *>(item->widget)) {
    button->setText(value);
  }
}

CString QtWindow::ItemText(int itemId) const
{
  const Item *item = Find(itemId);
  if (!item)
    return CString();
  if (auto *label = qobject_cast<QLabel *>(item->widget))
    return FromQString(label->text());
  if (auto *edit = qobject_cast<QLineEdit *>(item->widget))
    return FromQString(edit->text());
  if (auto *button = qobject_cast<QPushButton *>(item->widget))
    return FromQString(button->text());
  return CString();
}

void QtWindow::SetProgressPos(int itemId, int pos)
{
  const Item *item = Find(itemId);
  auto *bar = item ? qobject_cast<QProgressBar *>(item->widget) : nullptr;
  if (!bar)
    return;
  const int shown = ClampedProgress(pos);
  if (bar->value() == shown)
    return;
  bar->setUpdatesEnabled(false); // the bar would repaint itself at once
  bar->setValue(shown);
  bar->setUpdatesEnabled(true); // marks it for the next repaint
  Repaint(bar);
}

void QtWindow::Repaint(QWidget *widget)
{
  if (m_holds > 0)
    m_heldChange = widget;
  else if (widget->isVisible())
    widget->repaint(); // also draws every other pending change of the window
}

void QtWindow::HoldRepaints(bool hold)
{
  m_holds += hold ? 1 : (m_holds > 0 ? -1 : 0);
  if (m_holds == 0 && m_heldChange) {
    QWidget *changed = m_heldChange;
    m_heldChange = nullptr;
    Repaint(changed);
  }
}

int QtWindow::ProgressPos(int itemId) const
{
  const Item *item = Find(itemId);
  auto *bar = item ? qobject_cast<QProgressBar *>(item->widget) : nullptr;
  return bar ? bar->value() : 0;
}

void QtWindow::FocusItem(int itemId)
{
  if (const Item *item = Find(itemId))
    item->widget->setFocus(Qt::OtherFocusReason);
}

int QtWindow::RunModal()
{
  if (m_ended)
    return m_endCode;
  m_running = true;
  QPointer<TemplateDialog> alive(m_dialog);
  int code = m_dialog->exec();
  m_running = false;
  return alive ? code : -1;
}

void QtWindow::EndModal(int code)
{
  m_ended = true;
  m_endCode = code;
  if (m_running)
    m_dialog->done(code);
}

} // namespace

std::unique_ptr<PMToolkitWindow> CreateQtWindow(const DialogTemplate &dialog, QWidget *owner,
                                                bool modal, PMWindowEvents &events)
{
  return std::make_unique<QtWindow>(dialog, owner, modal, events);
}
