// The guarded X connection; see XDisplay.h. libX11 is loaded when the first
// display is opened, so that the library needs no X libraries on a machine
// without a display.
#include "framework/XDisplay.h"

#include "framework/Guarded.h"

#include <chrono>
#include <condition_variable>
#include <dlfcn.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace pelmora {
namespace {

using OpenFunction = _XDisplay *(*)(const char *);
using CloseFunction = int (*)(_XDisplay *);

struct XLibrary
{
  OpenFunction open = nullptr;
  CloseFunction close = nullptr;
};

// libX11's two functions, or nulls when it cannot be loaded (kept loaded).
const XLibrary &Xlib()
{
  static const XLibrary library = [] {
    XLibrary found;
    void *handle = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (!handle)
      return found;
    found.open = reinterpret_cast<OpenFunction>(dlsym(handle, "XOpenDisplay"));
    found.close = reinterpret_cast<CloseFunction>(dlsym(handle, "XCloseDisplay"));
    if (!found.open || !found.close)
      found = XLibrary();
    return found;
  }();
  return library;
}

// What the caller and the helper thread share; the last one to leave frees it.
struct Attempt
{
  std::mutex lock;
  std::condition_variable finished;
  bool done = false;      // the helper has an answer
  bool abandoned = false; // the caller stopped waiting
  _XDisplay *display = nullptr;
};

_XDisplay *OpenWithin(const std::string &name, int timeoutMilliseconds)
{
  const XLibrary &x = Xlib();
  if (!x.open)
    return nullptr;
  auto attempt = std::make_shared<Attempt>();
  std::thread([attempt, name, x] {
    _XDisplay *display = x.open(name.empty() ? nullptr : name.c_str());
    std::unique_lock<std::mutex> hold(attempt->lock);
    if (attempt->abandoned) {
      hold.unlock();
      if (display)
        x.close(display);
      return;
    }
    attempt->display = display;
    attempt->done = true;
    attempt->finished.notify_all();
  }).detach();
  std::unique_lock<std::mutex> hold(attempt->lock);
  if (!attempt->finished.wait_for(hold, std::chrono::milliseconds(timeoutMilliseconds),
                                  [&] { return attempt->done; })) {
    attempt->abandoned = true;
    return nullptr;
  }
  return attempt->display;
}

} // namespace

_XDisplay *OpenXDisplay(const char *name, int timeoutMilliseconds)
{
  return Guarded([&] { return OpenWithin(name ? name : "", timeoutMilliseconds); },
                 [](Failure) noexcept -> _XDisplay * { return nullptr; });
}

void CloseXDisplay(_XDisplay *display)
{
  if (display && Xlib().close)
    Xlib().close(display);
}

} // namespace pelmora
