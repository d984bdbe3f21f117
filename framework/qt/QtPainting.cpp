// The Qt toolkit's widgets that paint themselves: the progress bar and the
// label with its cache of pictures.
#include "framework/qt/QtToolkitParts.h"

#include <QPainter>
#include <QPixmap>

#include <map>

namespace {
// Pictures the labels keep at most; the cache starts over beyond that.
constexpr size_t kMaxLabelPictures = 512;
} // namespace

void PlainProgressBar::paintEvent(QPaintEvent *)
{
  QPainter painter(this);
  const QRect all = rect();
  const QPalette &colors = palette();
  painter.fillRect(all, colors.color(QPalette::Window));
  painter.fillRect(QRect(all.left(), all.top(), all.width(), 1), colors.color(QPalette::Dark));
  painter.fillRect(QRect(all.left(), all.top(), 1, all.height()), colors.color(QPalette::Dark));
  painter.fillRect(QRect(all.left(), all.bottom(), all.width(), 1), colors.color(QPalette::Light));
  painter.fillRect(QRect(all.right(), all.top(), 1, all.height()), colors.color(QPalette::Light));
  const QRect inner = all.adjusted(2, 2, -2, -2);
  const qint64 span = qint64(maximum()) - minimum();
  if (inner.isEmpty() || span <= 0)
    return;
  const qint64 filled = qint64(inner.width()) * (value() - minimum()) / span;
  painter.fillRect(QRect(inner.left(), inner.top(), static_cast<int>(filled), inner.height()),
                   colors.color(QPalette::Highlight));
}

void CachedLabel::paintEvent(QPaintEvent *event)
{
  const QColor background = palette().color(QPalette::Window);
  if (wordWrap() || text().isEmpty()) {
    QPainter(this).fillRect(rect(), background); // an opaque widget
    QLabel::paintEvent(event);
    return;
  }
  if (m_looks.isEmpty())
    m_looks = QChar(0) + font().key() + QChar(0) +
              palette().color(foregroundRole()).name(QColor::HexArgb) +
              background.name(QColor::HexArgb) + QChar(0) + QString::number(width()) + 'x' +
              QString::number(height()) + QChar(0) + QString::number(int(alignment()));
  static std::map<QString, QPixmap> pictures;
  const QString key = text() + m_looks;
  auto found = pictures.find(key);
  if (found == pictures.end()) {
    if (pictures.size() > kMaxLabelPictures)
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

void CachedLabel::changeEvent(QEvent *event)
{
  m_looks.clear();
  QLabel::changeEvent(event);
}

void CachedLabel::resizeEvent(QResizeEvent *event)
{
  m_looks.clear();
  QLabel::resizeEvent(event);
}
