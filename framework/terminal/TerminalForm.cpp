// A modal window on the terminal: a form of prompts. Static texts are shown
// as text, each edit box is a prompt showing its current value (an empty
// answer keeps it), the box's kill-focus notification follows each answer,
// and OK/Cancel is the last question. The end of input cancels.
#include "framework/terminal/TerminalText.h"
#include "framework/terminal/TerminalWindow.h"

#include <algorithm>

namespace {

bool VerticallyOverlap(const DialogItemTemplate &a, const DialogItemTemplate &b)
{
  return a.y < b.y + b.cy && b.y < a.y + a.cy;
}

std::string Lowered(std::string text)
{
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

} // namespace

void TerminalWindow::Say(const std::string &text)
{
  WriteAll(m_outputFd, text);
}

// The static text left of an edit box on its line, which names it.
const TerminalItem *TerminalWindow::LabelOf(const TerminalItem &edit) const
{
  const TerminalItem *best = nullptr;
  for (const auto &item : m_items) {
    const DialogItemTemplate &s = *item->source;
    if (item->kind != DialogItemKind::Label || item->text.empty() || s.x + s.cx > edit.source->x ||
        !VerticallyOverlap(s, *edit.source))
      continue;
    if (!best || s.x > best->source->x)
      best = item.get();
  }
  return best;
}

bool TerminalWindow::Prompt(TerminalItem &edit)
{
  const TerminalItem *label = LabelOf(edit);
  std::string name = label ? label->text : "Value " + std::to_string(edit.source->id);
  Say(name + " [" + edit.text + "]: ");
  std::string answer;
  if (!ReadLine(m_inputFd, answer))
    return false;
  if (!answer.empty())
    edit.text = answer;
  return true;
}

bool TerminalWindow::AskOkCancel()
{
  for (;;) {
    Say("OK or Cancel? [O/c]: ");
    std::string answer;
    if (!ReadLine(m_inputFd, answer))
      return false;
    answer = Lowered(answer);
    if (answer.empty() || answer == "o" || answer == "ok" || answer == "y" || answer == "yes")
      return true;
    if (answer == "c" || answer == "cancel" || answer == "n" || answer == "no")
      return false;
  }
}

int TerminalWindow::RunModal()
{
  // The form in reading order: top to bottom, then left to right.
  std::vector<TerminalItem *> order;
  for (const auto &item : m_items)
    if (item->source->style & WS_VISIBLE)
      order.push_back(item.get());
  std::stable_sort(order.begin(), order.end(), [](const TerminalItem *a, const TerminalItem *b) {
    return a->source->y != b->source->y ? a->source->y < b->source->y : a->source->x < b->source->x;
  });
  std::vector<const TerminalItem *> labels;
  for (TerminalItem *item : order)
    if (item->kind == DialogItemKind::Edit)
      labels.push_back(LabelOf(*item));

  Say("\n" + m_caption + "\n" + std::string(m_caption.size(), '=') + "\n");
  std::vector<bool> said(order.size(), false);
  size_t next = 0;
  while (!m_ended) {
    if (next == order.size()) {
      m_events.OnToolkitCommand(AskOkCancel() ? IDOK : IDCANCEL, BN_CLICKED);
    } else {
      TerminalItem &item = *order[next];
      if (item.kind == DialogItemKind::Edit) {
        if (!Prompt(item)) {
          m_events.OnToolkitCommand(IDCANCEL, BN_CLICKED);
          break;
        }
        m_focusRequest = 0;
        m_events.OnToolkitCommand(item.source->id, EN_KILLFOCUS);
      } else if (!said[next]) {
        if (item.kind == DialogItemKind::Label &&
            std::find(labels.begin(), labels.end(), &item) == labels.end())
          Say(item.text + "\n");
        else if (item.kind == DialogItemKind::EtchedLine)
          Say(std::string(40, '-') + "\n");
      }
      said[next] = true;
    }
    ++next;
    if (m_focusRequest != 0) { // a handler sent the focus back to a box
      for (size_t i = 0; i < order.size(); ++i)
        if (order[i]->source->id == m_focusRequest)
          next = i;
      m_focusRequest = 0;
    }
    if (next > order.size())
      next = 0;
  }
  return m_ended ? m_endCode : IDCANCEL;
}

void TerminalWindow::EndModal(int code)
{
  m_ended = true;
  m_endCode = code;
}
