// A socket where X clients look for a display, that is no X server: for
// tests of what a DISPLAY naming it does to the library and the tool.
#pragma once

namespace pelmora::test {

enum class FakeX
{
  AcceptAndClose, // hangs up at once
  AcceptAndHold,  // never answers the connection handshake
};

// Listens on the abstract socket of display `number` (":number") and
// answers every connection as `behaviour` says, on a thread that lives until
// the process ends. False when the socket cannot be made (the number is
// taken).
bool StartFakeXServer(int number, FakeX behaviour);

} // namespace pelmora::test
