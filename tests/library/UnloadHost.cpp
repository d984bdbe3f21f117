// A host that loads the library with dlopen, lets an X connection attempt
// time out, unloads the library and lives on while the attempt's helper
// thread gets its answer: that thread runs the library's code, so the
// library must stay mapped. Argument: the library's path. Exit status 0
// when the host survives; a crash is the failure.
#include "support/FakeXServer.h"

#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <thread>

int main(int argc, char **argv)
{
  if (argc != 2)
    return 2;
  const int display = pelmora::test::StartFakeXServer(pelmora::test::FakeX::AcceptAndHangUpLate);
  if (display < 0) {
    std::puts("no display socket could be made");
    return 0; // nothing to test here
  }
  void *library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::printf("%s\n", dlerror());
    return 2;
  }
  using OpenXDisplay = void *(*)(const char *, int);
  const auto open =
      reinterpret_cast<OpenXDisplay>(dlsym(library, "_ZN7pelmora12OpenXDisplayEPKci"));
  if (!open)
    return 2;
  const std::string name = ":" + std::to_string(display);
  if (open(name.c_str(), 50) != nullptr)
    return 2; // the fake server never completes a connection
  dlclose(library);
  // The server hangs up; the helper thread returns into the library.
  std::this_thread::sleep_for(
      std::chrono::milliseconds(2 * pelmora::test::kFakeXHangUpMilliseconds));
  return 0;
}
