// Hosts without a usable screen: a DISPLAY whose socket is no X server, and
// Qt's offscreen platform with no terminal. The library must neither abort
// nor hang its host: the parameters window cannot open, so the values come
// back as they went in, as without any display. Each case runs in a fresh
// process (the toolkit is chosen once per process), bounded by an alarm.
#include "PMSurface.h"
#include "PMToolkit.h"
#include "drape/HeightFieldCloud.h"
#include "support/FakeXServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

using pelmora::test::FakeX;

// In the child: no terminal on standard input, and a deadline.
void DetachFromTerminal()
{
  const int nothing = open("/dev/null", O_RDONLY);
  dup2(nothing, STDIN_FILENO);
  alarm(20);
}

// Asks for the parameters through the chosen toolkit; exits 0 when the
// values came back unchanged with result 1 and no window toolkit was used.
[[noreturn]] void AskAndExit(PMToolkitKind kind)
{
  PMSelectToolkit(kind);
  int rows = 7, cols = 9;
  double diameter = 1.5;
  const int result = PMSurface::GetSurfaceParameters(rows, cols, diameter, nullptr);
  const bool unchanged = result == 1 && rows == 7 && cols == 9 && diameter == 1.5;
  std::exit(unchanged && PMCurrentToolkit() == PMToolkitKind::None ? 0 : 1);
}

// The child with DISPLAY naming a fake X server.
[[noreturn]] void AskWithFakeDisplay(FakeX behaviour, PMToolkitKind kind)
{
  DetachFromTerminal();
  const int number = pelmora::test::StartFakeXServer(behaviour);
  if (number < 0)
    std::exit(3);
  setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);
  unsetenv("QT_QPA_PLATFORM");
  unsetenv("WAYLAND_DISPLAY");
  AskAndExit(kind);
}

// The child draping on the offscreen platform: exits 0 when the suggestion
// was used and the surface made.
[[noreturn]] void DrapeOffscreen()
{
  DetachFromTerminal();
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  PMSelectToolkit(PMToolkitKind::Automatic);
  const ON_3dPointArray cloud = drape_test::jitteredGrid(21, drape_test::dome, 0.3);
  ON_3dPointArray matrix;
  ON_NurbsSurface surface;
  int rows = 0, cols = 0;
  const int result = PMSurface::DrapeSurface(matrix, rows, cols, surface, cloud,
                                             ON_3dVector(0, 0, -1), 1, 0, nullptr);
  std::exit(result == 1 && rows == 21 && cols == 21 && surface.IsValid() ? 0 : 1);
}

class DisplayCheck : public ::testing::Test
{
protected:
  static void SetUpTestSuite() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(DisplayCheck, SocketThatIsNoXServerMeansNoDisplay)
{
  const struct
  {
    const char *name;
    FakeX behaviour;
    PMToolkitKind kind;
  } cases[] = {{"hangs up, automatic", FakeX::AcceptAndClose, PMToolkitKind::Automatic},
               {"hangs up, Qt asked for", FakeX::AcceptAndClose, PMToolkitKind::Qt},
               {"never answers", FakeX::AcceptAndHold, PMToolkitKind::Automatic}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EXIT(AskWithFakeDisplay(c.behaviour, c.kind), ::testing::ExitedWithCode(0), "");
  }
}

// The drape itself on the offscreen platform without a terminal: the
// suggestion is used and the call returns, as without a display.
TEST_F(DisplayCheck, OffscreenPlatformWithoutTerminalUsesTheSuggestion)
{
  EXPECT_EXIT(DrapeOffscreen(), ::testing::ExitedWithCode(0), "");
}

} // namespace
