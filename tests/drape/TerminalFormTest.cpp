// The "Surface Parameters" window on the terminal toolkit: a form of
// prompts on a pseudo-terminal, answered line by line.
#include "PMSurface.h"
#include "PMToolkit.h"
#include "framework/terminal/TerminalToolkit.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

class TerminalForm : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_EQ(openpty(&m_master, &m_slave, nullptr, nullptr, nullptr), 0);
    termios mode;
    tcgetattr(m_slave, &mode);
    mode.c_lflag &= ~ECHO; // the transcript holds what the form wrote
    tcsetattr(m_slave, TCSANOW, &mode);
    SetTerminalStreams(m_slave, m_slave);
    PMSelectToolkit(PMToolkitKind::Terminal);
  }
  void TearDown() override
  {
    SetTerminalStreams(-1, -1);
    PMSelectToolkit(PMToolkitKind::None);
    close(m_slave);
    close(m_master);
  }

  // Types `answers` ahead (then the end of input, so that a form asking for
  // more cancels instead of waiting), runs the window and keeps what the
  // form wrote. Input left unread is discarded.
  int Ask(std::string answers)
  {
    answers += "\x04";
    EXPECT_EQ(write(m_master, answers.data(), answers.size()), ssize_t(answers.size()));
    const int result = PMSurface::GetSurfaceParameters(rows, cols, diameter, nullptr);
    tcflush(m_slave, TCIFLUSH);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    char buffer[4096];
    for (ssize_t n; (n = read(m_master, buffer, sizeof buffer)) > 0;)
      transcript.append(buffer, n);
    return result;
  }

  bool Wrote(const std::string &text) const { return transcript.find(text) != std::string::npos; }

  int rows = 7, cols = 14;
  double diameter = 0.0;
  std::string transcript;

private:
  int m_master = -1, m_slave = -1;
};

// Prompts in the order rows, columns, probe diameter, each showing its
// value; empty answers keep them; a rejected count is warned about and
// asked again; a negative diameter is accepted.
TEST_F(TerminalForm, AnswersRunTheSameExchangeAndHandlers)
{
  EXPECT_EQ(Ask("0\n9\n\n-1.5\nok\n"), 1);
  EXPECT_EQ(rows, 9);
  EXPECT_EQ(cols, 14);
  EXPECT_EQ(diameter, -1.5);
  EXPECT_TRUE(Wrote("Surface Parameters")) << transcript;
  const size_t first = transcript.find("Number of rows [7]");
  const size_t warning = transcript.find("Please enter a positive value for number of rows");
  const size_t again = transcript.find("Number of rows [0]");
  const size_t columns = transcript.find("Number of columns [14]");
  const size_t probe = transcript.find("Probe diameter [0]");
  EXPECT_TRUE(first < warning && warning < again && again < columns && columns < probe)
      << transcript;
  EXPECT_TRUE(Wrote("Warning")) << transcript;
}

// A rejected count is asked again until it is positive; text that is not a
// number is refused when OK is chosen and asked again; the values returned
// are the corrected ones.
TEST_F(TerminalForm, UnreadableNumberIsAskedAgain)
{
  EXPECT_EQ(Ask("\n-3\n5\n2 mm\nok\n2\nok\n"), 1);
  EXPECT_TRUE(Wrote("Please enter a positive value for number of columns")) << transcript;
  EXPECT_TRUE(Wrote("Probe diameter [2 mm]")) << transcript;
  EXPECT_EQ(rows, 7);
  EXPECT_EQ(cols, 5);
  EXPECT_EQ(diameter, 2.0);
}

// Cancel, and the end of input, cancel the window: 0 with "Cancelled" and
// the values as they came in.
TEST_F(TerminalForm, CancelAndEndOfInputCancel)
{
  for (const std::string answers : {"12\n\n\ncancel\n", "12\n"}) {
    PMSurface::SetError(L"");
    rows = 7;
    EXPECT_EQ(Ask(answers), 0);
    EXPECT_EQ(PMSurface::GetError(), L"Cancelled");
    EXPECT_EQ(rows, 7);
    EXPECT_EQ(cols, 14);
    EXPECT_EQ(diameter, 0.0);
  }
}

// Without a terminal on the input the form cannot open: the values come
// back as they went in, with result 1.
TEST_F(TerminalForm, NoTerminalMeansNoWindow)
{
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  SetTerminalStreams(pipeEnds[0], pipeEnds[1]);
  rows = 3;
  EXPECT_EQ(PMSurface::GetSurfaceParameters(rows, cols, diameter, nullptr), 1);
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(cols, 14);
  close(pipeEnds[0]);
  close(pipeEnds[1]);
}

} // namespace
