// A window of the terminal toolkit. A modeless window is one live line on
// the output (caption, bars, texts), redrawn when it changes; a modal one
// runs as a form of prompts (TerminalForm.cpp).
#pragma once

#include "framework/DialogTemplate.h"
#include "framework/Toolkit.h"

#include <memory>
#include <string>
#include <vector>

struct TerminalItem
{
  const DialogItemTemplate *source;
  DialogItemKind kind;
  std::string text; // UTF-8
  int pos = 0;      // progress bars
};

class TerminalWindow final : public PMToolkitWindow
{
public:
  TerminalWindow(const DialogTemplate &dialog, bool modal, int inputFd, int outputFd,
                 PMWindowEvents &events);
  ~TerminalWindow() override;

  HWND Handle() const override
  {
    return reinterpret_cast<HWND>(const_cast<TerminalWindow *>(this));
  }
  HWND ItemHandle(int itemId) const override;
  void SetCaption(const CString &text) override;
  CString Caption() const override { return CString::FromUtf8(m_caption); }
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
  TerminalItem *Find(int itemId) const;
  // The modeless line as it would be drawn now.
  std::string Line() const;
  // Redraws the live line when it differs from the one on the screen.
  void Redraw();
  // The form (TerminalForm.cpp).
  void Say(const std::string &text);
  bool Prompt(TerminalItem &edit);
  bool AskOkCancel();
  const TerminalItem *LabelOf(const TerminalItem &edit) const;

  const DialogTemplate &m_template;
  const bool m_modal;
  const int m_inputFd;
  const int m_outputFd;
  const bool m_live; // a modeless window on a terminal: animated line
  PMWindowEvents &m_events;
  std::string m_caption;
  std::vector<std::unique_ptr<TerminalItem>> m_items;
  std::string m_drawn; // the line on the screen
  bool m_visible = false;
  bool m_ended = false;
  int m_endCode = IDCANCEL;
  int m_focusRequest = 0; // an edit box a handler gave the focus to
  int m_holds = 0;
};

std::string ToUtf8(const CString &text);
