// Modal dialogs on the terminal toolkit: a form of prompts on a
// pseudo-terminal, and no form at all when input is not a terminal.
#include "PseudoTerminal.h"
#include "TestDialog.h"

#include "PMToolkit.h"
#include "framework/terminal/TerminalToolkit.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

struct FormCase
{
  const char *answers;
  std::tuple<INT_PTR, int, double, CString, int> expected; // result, fields, kill-focus calls
  std::vector<const char *> inOrder;                       // texts the form writes, in order
};

// Count 0 is refused by the kill-focus check and asked again; an empty answer
// keeps the value shown; a box's label is its prompt; text that is not a
// number is asked again after OK; cancel and the end of input leave the
// fields (the size box answered before cancel is not read).
TEST(TerminalFormTest, AnswersGoThroughDataExchangeAndKillFocus)
{
  const FormCase cases[] = {
      {"0\n5\n\nnew name\n\n",
       {IDOK, 5, 1.5, L"new name", 2},
       {"Test Parameters\n", "Enter the values below.\n",
        "Count [3]: ", "Warning: Please enter a positive count\n",
        "Count [0]: ", "Size [1.5]: ", "Name [abc]: ", "----", "OK or Cancel? [O/c]: "}},
      {"\n1.5x\n\n\n2\n\n\n",
       {IDOK, 3, 2.0, L"abc", 1},
       {"Error: Please enter a number.\n", "Size [1.5x]: "}},
      {"\n9\n\nc\n", {IDCANCEL, 3, 1.5, L"abc", 1}, {}},
      {"\x04", {IDCANCEL, 3, 1.5, L"abc", 0}, {}},
  };
  PMSelectToolkit(PMToolkitKind::Terminal);
  for (const FormCase &c : cases) {
    SCOPED_TRACE(c.answers);
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.Type(c.answers));
    SetTerminalStreams(terminal.slave, terminal.slave);
    CTestDlg dialog;
    INT_PTR result;
    {
      AFX_MAINTAIN_STATE2 state(CTestDlg::Module());
      result = dialog.DoModal();
    }
    SetTerminalStreams(-1, -1);
    EXPECT_EQ(std::make_tuple(result, dialog.m_nCount, dialog.m_dSize, dialog.m_strName,
                              dialog.m_nKillFocusCount),
              c.expected);
    const std::string output = terminal.Output();
    size_t at = 0;
    for (const char *text : c.inOrder) {
      at = output.find(text, at);
      ASSERT_NE(at, std::string::npos) << text << "\n" << output;
    }
    EXPECT_EQ(output.find("Count\n"), std::string::npos);
  }
}

TEST(TerminalFormTest, CannotOpenWithoutATerminal)
{
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  SetTerminalStreams(pipeFds[0], pipeFds[1]);
  PMSelectToolkit(PMToolkitKind::Terminal);
  CTestDlg dialog;
  {
    AFX_MAINTAIN_STATE2 state(CTestDlg::Module());
    EXPECT_EQ(dialog.DoModal(), -1);
  }
  SetTerminalStreams(-1, -1);
  close(pipeFds[0]);
  close(pipeFds[1]);
}

} // namespace
