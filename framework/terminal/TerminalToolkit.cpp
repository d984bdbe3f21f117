// The terminal toolkit: windows on standard error, forms on standard input.
#include "framework/terminal/TerminalToolkit.h"

#include "framework/terminal/TerminalText.h"
#include "framework/terminal/TerminalWindow.h"

#include <unistd.h>

namespace {

int g_inputFd = 0;
int g_outputFd = 2;

class Terminal final : public PMToolkit
{
public:
  std::unique_ptr<PMToolkitWindow> CreateDialogWindow(const DialogTemplate &dialog, HWND,
                                                      bool modal, PMWindowEvents &events) override
  {
    if (modal && !isatty(g_inputFd))
      return nullptr; // no one to answer the form
    return std::make_unique<TerminalWindow>(dialog, modal, g_inputFd, g_outputFd, events);
  }

  int MessageBox(HWND, const CString &text, const CString &caption, UINT) override
  {
    return WriteAll(g_outputFd, ToUtf8(caption) + ": " + ToUtf8(text) + "\n") ? IDOK : 0;
  }
};

} // namespace

void SetTerminalStreams(int inputFd, int outputFd)
{
  g_inputFd = inputFd < 0 ? 0 : inputFd;
  g_outputFd = outputFd < 0 ? 2 : outputFd;
}

PMToolkit &TerminalToolkit()
{
  static Terminal toolkit;
  return toolkit;
}

std::string ToUtf8(const CString &text)
{
  return text.ToUtf8();
}

TerminalWindow::TerminalWindow(const DialogTemplate &dialog, bool modal, int inputFd, int outputFd,
                               PMWindowEvents &events)
    : m_template(dialog), m_modal(modal), m_inputFd(inputFd), m_outputFd(outputFd),
      m_live(!modal && isatty(outputFd)), m_events(events),
      m_caption(CString(dialog.caption).ToUtf8())
{
  for (const DialogItemTemplate &item : dialog.items) {
    auto entry = std::make_unique<TerminalItem>();
    entry->source = &item;
    entry->kind = KindOfItem(item);
    entry->text = CString(item.text).ToUtf8();
    m_items.push_back(std::move(entry));
  }
}

void TerminalWindow::Show()
{
  if (m_modal || m_visible)
    return;
  m_visible = true;
  Redraw();
}

TerminalWindow::~TerminalWindow()
{
  if (!m_visible)
    return;
  // Leave the finished line: the live one ends, a plain output gets it once.
  if (m_live)
    WriteAll(m_outputFd, m_drawn.empty() ? std::string() : "\n");
  else
    WriteAll(m_outputFd, Line() + "\n");
}

TerminalItem *TerminalWindow::Find(int itemId) const
{
  for (const auto &item : m_items)
    if (item->source->id == itemId)
      return item.get();
  return nullptr;
}

HWND TerminalWindow::ItemHandle(int itemId) const
{
  return reinterpret_cast<HWND>(Find(itemId));
}

void TerminalWindow::SetCaption(const CString &text)
{
  m_caption = text.ToUtf8();
  Redraw();
}

void TerminalWindow::SetItemText(int itemId, const CString &text)
{
  if (TerminalItem *item = Find(itemId)) {
    item->text = text.ToUtf8();
    Redraw();
  }
}

CString TerminalWindow::ItemText(int itemId) const
{
  const TerminalItem *item = Find(itemId);
  return item ? CString::FromUtf8(item->text) : CString();
}

void TerminalWindow::SetProgressPos(int itemId, int pos)
{
  TerminalItem *item = Find(itemId);
  if (!item || item->kind != DialogItemKind::ProgressBar)
    return;
  item->pos = ClampedProgress(pos);
  Redraw();
}

int TerminalWindow::ProgressPos(int itemId) const
{
  const TerminalItem *item = Find(itemId);
  return item ? item->pos : 0;
}

void TerminalWindow::FocusItem(int itemId)
{
  const TerminalItem *item = Find(itemId);
  if (item && item->kind == DialogItemKind::Edit)
    m_focusRequest = itemId;
}

std::string TerminalWindow::Line() const
{
  std::string line = m_caption;
  for (const auto &item : m_items)
    if (item->kind == DialogItemKind::ProgressBar && (item->source->style & WS_VISIBLE))
      line += " " + DrawBar(item->pos, 30);
  for (const auto &item : m_items)
    if (item->kind == DialogItemKind::Label && !item->text.empty() &&
        (item->source->style & WS_VISIBLE))
      line += " " + item->text;
  return line;
}

void TerminalWindow::HoldRepaints(bool hold)
{
  m_holds += hold ? 1 : (m_holds > 0 ? -1 : 0);
  if (m_holds == 0)
    Redraw();
}

void TerminalWindow::Redraw()
{
  if (!m_visible || !m_live || m_holds > 0)
    return;
  std::string line = FitColumns(Line(), TerminalColumns(m_outputFd) - 1);
  if (line == m_drawn)
    return;
  m_drawn = line;
  WriteAll(m_outputFd, "\r" + line + "\x1b[K");
}
