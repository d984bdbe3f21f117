// A socket where X clients look for a display, that is no X server: for
// tests of what a DISPLAY naming it does to the library and the tool.
#pragma once

namespace pelmora::test {

enum class FakeX
{
  AcceptAndClose,      // hangs up at once
  AcceptAndHold,       // never answers the connection handshake
  AcceptAndHangUpLate, // hangs up after kFakeXHangUpMilliseconds, without answering
};

constexpr int kFakeXHangUpMilliseconds = 500;

// Listens on the abstract socket of the first free display number from
// 47000 on and answers every connection as `behaviour` says, on a thread
// that lives until the process ends. Returns the number (DISPLAY is
// ":number"), or -1 when no socket can be made. The number is found, not
// fixed, so test runs side by side do not take each other's.
int StartFakeXServer(FakeX behaviour);

} // namespace pelmora::test
