// The "Surface Parameters" window on the terminal toolkit: a form of prompts
// on a pseudo-terminal, answered line by line.
#include "../framework/PseudoTerminal.h"

#include "PMSurface.h"
#include "PMToolkit.h"
#include "framework/terminal/TerminalToolkit.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

struct FormCase
{
  const char *answers;
  std::tuple<int, int, double, int> expected; // rows, cols, diameter, result
  std::vector<const char *> inOrder;          // texts the form writes, in this order
};

// Prompts show the current values; empty answers keep them; a rejected count
// is warned about and asked again; a negative diameter is accepted; text that
// is not a number is asked again after OK; cancel and the end of input cancel.
TEST(TerminalForm, AnswersGoThroughTheWindowsHandlers)
{
  const FormCase cases[] = {
      {"0\n9\n\n-1.5\nok\n",
       {9, 14, -1.5, 1},
       {"Surface Parameters", "Number of rows [7]",
        "Warning: Please enter a positive value for number of rows", "Number of rows [0]",
        "Number of columns [14]", "Probe diameter [0]"}},
      {"\n-3\n5\n2 mm\nok\n2\nok\n",
       {7, 5, 2.0, 1},
       {"Please enter a positive value for number of columns", "Probe diameter [2 mm]"}},
      {"12\n\n\ncancel\n", {7, 14, 0.0, 0}, {}},
      {"12\n", {7, 14, 0.0, 0}, {}},
  };
  PMSelectToolkit(PMToolkitKind::Terminal);
  for (const FormCase &c : cases) {
    SCOPED_TRACE(c.answers);
    PseudoTerminal terminal;
    ASSERT_GE(terminal.slave, 0);
    SetTerminalStreams(terminal.slave, terminal.slave);
    ASSERT_TRUE(terminal.Type(std::string(c.answers) + "\x04"));
    int rows = 7, cols = 14;
    double diameter = 0.0;
    PMSurface::SetError(L"");
    const int result = PMSurface::GetSurfaceParameters(rows, cols, diameter, nullptr);
    SetTerminalStreams(-1, -1);
    EXPECT_EQ(std::make_tuple(rows, cols, diameter, result), c.expected);
    EXPECT_EQ(PMSurface::GetError(), result ? L"" : L"Cancelled");
    const std::string output = terminal.Output();
    size_t at = 0;
    for (const char *text : c.inOrder) {
      at = output.find(text, at);
      ASSERT_NE(at, std::string::npos) << text << "\n" << output;
    }
  }
}

} // namespace
