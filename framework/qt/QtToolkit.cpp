// The Qt toolkit: real widgets built from dialog templates.
#include "framework/DialogTemplate.h"
#include "framework/QtHandle.h"
#include "framework/Toolkit.h"
#include "framework/qt/QtDisplay.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <map>
#include <vector>

namespace {

QString ToQString(const CString &text)
{
  return QString::fromWCharArray(text.GetString());
}

CString FromQString(const QString &text)
{
  return CString(text.toStdWString());
}

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

// The dialog widget. Routes its close box, Escape and the buttons to the
// framework object, and counts the callbacks it is inside of, so that a
// handler may close the window under its own feet.
class TemplateDialog : public QDialog
{
public:
  TemplateDialog(QWidget *owner, PMWindowEvents *events) : QDialog(owner), m_events(events) {}

  void Notify(int itemId, UINT code)
  {
    if (!m_events)
      return;
    QPointer<TemplateDialog> alive(this);
    ++m_callbackDepth;
    m_events->OnToolkitCommand(itemId, code);
    if (alive)
      --m_callbackDepth;
  }
  void Detach() { m_events = nullptr; }
  bool InCallback() const { return m_callbackDepth > 0; }
  bool m_inKillFocus = false;

  void reject() override { Notify(IDCANCEL, BN_CLICKED); }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override
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

private:
  PMWindowEvents *m_events;
  int m_callbackDepth = 0;
};

// The progress bar: a sunken frame and a solid bar, painted with plain
// opaque rectangle fills only, since it repaints at every percent.
class Bar : public QProgressBar
{
public:
  using QProgressBar::QProgressBar;

protected:
  void paintEvent(QPaintEvent *) override
  {
    QPainter painter(this);
    const QRect all = rect();
    const QPalette &colors = palette();
    painter.fillRect(all, colors.color(QPalette::Window));
    painter.fillRect(QRect(all.left(), all.top(), all.width(), 1), colors.color(QPalette::Dark));
    painter.fillRect(QRect(all.left(), all.top(), 1, all.height()), colors.color(QPalette::Dark));
    painter.fillRect(QRect(all.left(), all.bottom(), all.width(), 1),
                     colors.color(QPalette::Light));
    painter.fillRect(QRect(all.right(), all.top(), 1, all.height()), colors.color(QPalette::Light));
    const QRect inner = all.adjusted(2, 2, -2, -2);
    const qint64 span = qint64(maximum()) - minimum();
    if (inner.isEmpty() || span <= 0)
      return;
    const qint64 filled = qint64(inner.width()) * (value() - minimum()) / span;
    painter.fillRect(QRect(inner.left(), inner.top(), static_cast<int>(filled), inner.height()),
                     colors.color(QPalette::Highlight));
  }
};

// A one-line label that keeps pictures of the texts it showed (shared by
// all windows), so that the percentage line, redrawn at every percent, is
// rendered once per text and afterwards only copied.
class Label : public QLabel
{
public:
  using QLabel::QLabel;

protected:
  void paintEvent(QPaintEvent *event) override
  {
    const QColor background = palette().color(QPalette::Window);
    if (wordWrap() || text().isEmpty()) {
      QPainter(this).fillRect(rect(), background); // an opaque widget
      QLabel::paintEvent(event);
      return;
    }
    if (m_looks.isEmpty()) // what, besides the text, the picture depends on
      m_looks = QChar(0) + font().key() + QChar(0) +
                palette().color(foregroundRole()).name(QColor::HexArgb) +
                background.name(QColor::HexArgb) + QChar(0) + QString::number(width()) + 'x' +
                QString::number(height()) + QChar(0) + QString::number(int(alignment()));
    static std::map<QString, QPixmap> pictures;
    const QString key = text() + m_looks;
    auto found = pictures.find(key);
    if (found == pictures.end()) {
      if (pictures.size() > 512)
        pictures.clear();
      QPixmap picture(size());
      picture.fill(background);
      QPainter painter(&picture);
      painter.setFont(font());
      painter.setPen(palette().color(foregroundRole()));
      painter.drawText(contentsRect(), static_cast<int>(alignment()), text());
      painter.end();
      found = pictures.emplace(key, picture).first;
    }
    QPainter(this).drawPixmap(0, 0, found->second);
  }
  void changeEvent(QEvent *event) override
  {
    m_looks.clear();
    QLabel::changeEvent(event);
  }
  void resizeEvent(QResizeEvent *event) override
  {
    m_looks.clear();
    QLabel::resizeEvent(event);
  }

private:
  QString m_looks;
};

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
  for (int i = 0; i < 50 && m_dialog->windowHandle() && !m_dialog->windowHandle()->isExposed(); ++i)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
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
    auto *label = new Label(text, m_dialog);
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
    button->setDefault((item.style & 0x0F) == BS_DEFPUSHBUTTON);
    const int id = item.id;
    TemplateDialog *dialog = m_dialog;
    QObject::connect(button, &QPushButton::clicked, dialog,
                     [dialog, id] { dialog->Notify(id, BN_CLICKED); });
    widget = button;
    break;
  }
  case DialogItemKind::ProgressBar: {
    auto *bar = new Bar(m_dialog);
    bar->setAttribute(Qt::WA_OpaquePaintEvent);
    bar->setRange(0, 100);
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
  const int shown = pos < 0 ? 0 : pos > 100 ? 100 : pos; // the bar keeps to its range
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
    return std::make_unique<QtWindow>(dialog, LiveWidget(owner), modal, events);
  }

  int MessageBox(HWND owner, const CString &text, const CString &caption, UINT type) override
  {
    if (!OnGuiThread() || !AnswerableHere())
      return 0;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (type & 0xF0) {
    case MB_ICONERROR:
      icon = QMessageBox::Critical;
      break;
    case MB_ICONQUESTION:
      icon = QMessageBox::Question;
      break;
    case MB_ICONEXCLAMATION:
      icon = QMessageBox::Warning;
      break;
    case MB_ICONINFORMATION:
      icon = QMessageBox::Information;
      break;
    }
    const bool withCancel = (type & 0x0F) == MB_OKCANCEL;
    QMessageBox box(icon, ToQString(caption), ToQString(text),
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                    LiveWidget(owner));
    return box.exec() == QMessageBox::Cancel ? IDCANCEL : IDOK;
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
