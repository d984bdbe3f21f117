// Modal dialogs on the terminal toolkit: a form of prompts on a
// pseudo-terminal, and no form at all when input is not a terminal.
#include "PseudoTerminal.h"
#include "TestDialog.h"

#include "PMToolkit.h"
#include "framework/terminal/TerminalToolkit.h"

#include <gtest/gtest.h>

namespace {

class TerminalFormTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_GE(terminal.slave, 0);
    SetTerminalStreams(terminal.slave, terminal.slave);
    PMSelectToolkit(PMToolkitKind::Terminal);
  }
  void TearDown() override
  {
    SetTerminalStreams(-1, -1);
    PMSelectToolkit(PMToolkitKind::Automatic);
  }
  INT_PTR Run(CTestDlg &dialog, const std::string &answers)
  {
    EXPECT_TRUE(terminal.Type(answers));
    AFX_MAINTAIN_STATE2 state(CTestDlg::Module());
    INT_PTR result = dialog.DoModal();
    output = terminal.Output();
    return result;
  }
  bool Shows(const std::string &text) const { return output.find(text) != std::string::npos; }

  PseudoTerminal terminal;
  std::string output;
};

TEST_F(TerminalFormTest, AnswersGoThroughDataExchangeAndKillFocus)
{
  CTestDlg dialog;
  // Count 0 is refused by the kill-focus check and asked again; an empty
  // answer keeps the value shown.
  EXPECT_EQ(Run(dialog, "0\n5\n\nnew name\n\n"), IDOK);
  EXPECT_EQ(dialog.m_nCount, 5);
  EXPECT_DOUBLE_EQ(dialog.m_dSize, 1.5);
  EXPECT_EQ(dialog.m_strName, L"new name");
  EXPECT_TRUE(dialog.m_bWarned);
  EXPECT_EQ(dialog.m_nKillFocusCount, 2);
  const char *inOrder[] = {"Test Parameters\n",    "Enter the values below.\n",
                           "Count [3]: ",          "Warning: Please enter a positive count\n",
                           "Count [0]: ",          "Size [1.5]: ",
                           "Name [abc]: ",         "----",
                           "OK or Cancel? [O/c]: "};
  size_t at = 0;
  for (const char *text : inOrder) {
    size_t found = output.find(text, at);
    ASSERT_NE(found, std::string::npos) << text << "\n" << output;
    at = found;
  }
  EXPECT_FALSE(Shows("Count\n")); // a box's label is its prompt, not a line of its own
}

TEST_F(TerminalFormTest, CancelAndEndOfInputLeaveTheFields)
{
  CTestDlg cancelled;
  EXPECT_EQ(Run(cancelled, "\n9\n\nc\n"), IDCANCEL);
  EXPECT_DOUBLE_EQ(cancelled.m_dSize, 1.5); // no handler read the size box
  CTestDlg ended;
  EXPECT_EQ(Run(ended, "\x04"), IDCANCEL); // end of input at the first prompt
  EXPECT_EQ(ended.m_nCount, 3);
}

TEST_F(TerminalFormTest, UnreadableNumberIsAskedAgainAfterOk)
{
  CTestDlg dialog;
  EXPECT_EQ(Run(dialog, "\n1.5x\n\n\n2\n\n\n"), IDOK);
  EXPECT_TRUE(Shows("Error: Please enter a number.\n"));
  EXPECT_TRUE(Shows("Size [1.5x]: "));
  EXPECT_DOUBLE_EQ(dialog.m_dSize, 2.0);
}

TEST(TerminalFormWithoutTerminal, CannotOpen)
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
  PMSelectToolkit(PMToolkitKind::Automatic);
  close(pipeFds[0]);
  close(pipeFds[1]);
}

} // namespace
