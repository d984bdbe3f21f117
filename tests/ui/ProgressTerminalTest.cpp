// The progress window on the terminal toolkit: a live line on a terminal,
// the finished line only on a captured stream.
#include "../framework/PseudoTerminal.h"

#include "PMProgress.h"
#include "PMToolkit.h"
#include "framework/terminal/TerminalToolkit.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The lines drawn after each carriage return, without the erase-to-end code.
std::vector<std::string> Frames(const std::string &output)
{
  std::vector<std::string> frames;
  for (size_t at = output.find('\r'); at != std::string::npos; at = output.find('\r', at + 1)) {
    std::string frame = output.substr(at + 1, output.find_first_of("\r\n", at + 1) - at - 1);
    if (frame.size() >= 3 && frame.compare(frame.size() - 3, 3, "\x1b[K") == 0)
      frame.resize(frame.size() - 3);
    frames.push_back(frame);
  }
  return frames;
}

// Opens a reporter on `fd` and runs the convention with N = 4.
void RunConvention(int fd, const wchar_t *title)
{
  SetTerminalStreams(-1, fd);
  PMProgress progress(title, L"", 0.0, 100.0, nullptr);
  progress.SetMax(4);
  progress.StartProgress();
  for (int i = 0; i < 4; ++i)
    progress.SetCurrent(i);
  progress.EndProgress();
}

class ProgressTerminalTest : public ::testing::Test
{
protected:
  void SetUp() override { PMSelectToolkit(PMToolkitKind::Terminal); }
  void TearDown() override { SetTerminalStreams(-1, -1); }
};

// Each change is drawn once, never with the template's "Status"; the
// finished line stays; the line fits the terminal's width.
TEST_F(ProgressTerminalTest, LiveLineOnATerminal)
{
  PseudoTerminal terminal;
  RunConvention(terminal.slave, L"Transforming points");
  const std::string output = terminal.Output();
  ASSERT_FALSE(output.empty());
  EXPECT_EQ(output.back(), '\n');
  const std::vector<std::string> frames = Frames(output);
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back(), "Transforming points [######################........] 75 % complete");
  for (size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].find("Status"), std::string::npos);
    EXPECT_TRUE(i == 0 || frames[i] != frames[i - 1]) << frames[i];
  }

  PseudoTerminal narrow(30);
  RunConvention(narrow.slave, L"A title long enough to need cutting");
  for (const std::string &frame : Frames(narrow.Output()))
    EXPECT_LE(frame.size(), 29u);
}

TEST_F(ProgressTerminalTest, UnchangedPercentageWritesNothing)
{
  PseudoTerminal terminal;
  SetTerminalStreams(-1, terminal.slave);
  PMProgress progress(L"Steady", L"", 0.0, 1000.0, nullptr);
  progress.StartProgress();
  progress.SetCurrent(500);
  terminal.Output();
  for (int i = 500; i < 510; ++i)
    progress.SetCurrent(i);
  EXPECT_EQ(terminal.Output(), "");
  progress.SetTitle(L"Renamed");
  EXPECT_EQ(Frames(terminal.Output()).back().rfind("Renamed [", 0), 0u);
  progress.EndProgress();
}

TEST_F(ProgressTerminalTest, CapturedStreamGetsTheFinishedLineOnly)
{
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  RunConvention(pipeFds[1], L"Creating surface");
  close(pipeFds[1]);
  std::string output;
  char buffer[512];
  for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
    output.append(buffer, static_cast<size_t>(n));
  close(pipeFds[0]);
  EXPECT_EQ(output, "Creating surface [######################........] 75 % complete\n");
}

} // namespace
