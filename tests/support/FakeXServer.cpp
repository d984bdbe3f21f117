#include "support/FakeXServer.h"

#include <chrono>
#include <cstddef>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace pelmora::test {

namespace {

// Listens on the abstract socket of display `number`; -1 when it is taken.
int Listen(int number)
{
  const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener < 0)
    return -1;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
  std::memcpy(address.sun_path + 1, path.data(), path.size()); // abstract: leading '\0'
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
  if (bind(listener, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
      listen(listener, 16) != 0) {
    close(listener);
    return -1;
  }
  return listener;
}

} // namespace

int StartFakeXServer(FakeX behaviour)
{
  int number = 47000;
  int listener = Listen(number);
  while (listener < 0 && number < 48000)
    listener = Listen(++number);
  if (listener < 0)
    return -1;
  std::thread([listener, behaviour] {
    for (;;) {
      const int client = accept(listener, nullptr, nullptr);
      if (client >= 0 && behaviour == FakeX::AcceptAndHangUpLate)
        std::this_thread::sleep_for(std::chrono::milliseconds(kFakeXHangUpMilliseconds));
      if (client >= 0 && behaviour != FakeX::AcceptAndHold)
        close(client);
    }
  }).detach();
  return number;
}

} // namespace pelmora::test
