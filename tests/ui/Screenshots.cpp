// Writes pictures of the progress window at 37 %: progress-qt.png (the Qt
// window on the offscreen platform, with a drawn caption bar, since that
// platform has no window decorations) and progress-terminal.png (the line
// the terminal toolkit leaves, rendered as a terminal shows it).
// Usage: pelmora_screenshots <output directory>
#include "PMProgress.h"
#include "PMToolkit.h"
#include "framework/terminal/TerminalToolkit.h"

#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QProgressBar>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

QDialog *OpenProgressWindow()
{
  for (QWidget *widget : QApplication::topLevelWidgets()) {
    auto *dialog = qobject_cast<QDialog *>(widget);
    if (dialog && dialog->isVisible() && dialog->findChild<QProgressBar *>())
      return dialog;
  }
  return nullptr;
}

bool QtPicture(const QString &path)
{
  PMSelectToolkit(PMToolkitKind::Qt);
  PMProgress progress(L"Calculating surface", L"", 0.0, 100.0, nullptr);
  progress.StartProgress();
  progress.SetCurrent(37);
  QDialog *window = OpenProgressWindow();
  if (!window)
    return false;
  const QPixmap client = window->grab();
  const int captionHeight = 22, border = 3;
  QImage picture(client.width() + 2 * border, client.height() + captionHeight + 2 * border,
                 QImage::Format_RGB32);
  QPainter painter(&picture);
  painter.fillRect(picture.rect(), window->palette().color(QPalette::Window));
  painter.setPen(window->palette().color(QPalette::Dark));
  painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
  QRect caption(border, border, client.width(), captionHeight);
  painter.fillRect(caption, QColor(0, 0, 128));
  QFont font = window->font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(caption.adjusted(6, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   window->windowTitle());
  painter.drawPixmap(border, border + captionHeight, client);
  painter.end();
  progress.EndProgress();
  return picture.save(path);
}

// The line the terminal toolkit leaves for a reporter closed at 37 %.
std::string TerminalLine()
{
  int pipeFds[2];
  if (pipe(pipeFds) != 0)
    return {};
  SetTerminalStreams(-1, pipeFds[1]);
  PMSelectToolkit(PMToolkitKind::Terminal);
  {
    PMProgress progress(L"Calculating surface", L"", 0.0, 100.0, nullptr);
    progress.StartProgress();
    progress.SetCurrent(37);
    progress.EndProgress();
  }
  close(pipeFds[1]);
  SetTerminalStreams(-1, -1);
  std::string text;
  char buffer[256];
  ssize_t n;
  while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<size_t>(n));
  close(pipeFds[0]);
  while (!text.empty() && text.back() == '\n')
    text.pop_back();
  return text;
}

bool TerminalPicture(const QString &path)
{
  const QStringList lines = {"$ pelmora drape panel.xyz -o panel.step",
                             QString::fromStdString(TerminalLine())};
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPixelSize(14);
  QFontMetrics metrics(font);
  int width = 0;
  for (const QString &line : lines)
    width = std::max(width, metrics.horizontalAdvance(line));
  const int margin = 12;
  QImage picture(width + 2 * margin, lines.size() * metrics.lineSpacing() + 2 * margin,
                 QImage::Format_RGB32);
  picture.fill(QColor(30, 30, 30));
  QPainter painter(&picture);
  painter.setFont(font);
  painter.setPen(QColor(220, 220, 220));
  for (int i = 0; i < lines.size(); ++i)
    painter.drawText(margin, margin + metrics.ascent() + i * metrics.lineSpacing(), lines[i]);
  painter.end();
  return picture.save(path);
}

} // namespace

int main(int argc, char **argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const QString directory = QString::fromLocal8Bit(argv[1]);
  bool ok = QtPicture(directory + "/progress-qt.png");
  ok = TerminalPicture(directory + "/progress-terminal.png") && ok;
  return ok ? 0 : 1;
}
