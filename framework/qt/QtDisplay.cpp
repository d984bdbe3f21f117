#include "framework/qt/QtDisplay.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool ConnectUnix(const std::string &path, bool abstract)
{
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  size_t offset = abstract ? 1 : 0;
  if (path.size() + offset >= sizeof(address.sun_path)) {
    close(fd);
    return false;
  }
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() +
                                            (abstract ? 0 : 1));
  bool ok = connect(fd, reinterpret_cast<sockaddr *>(&address), length) == 0;
  close(fd);
  return ok;
}

// A TCP connection within one second.
bool ConnectTcp(const std::string &host, int port)
{
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo *found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
    return false;
  bool ok = false;
  for (addrinfo *a = found; a && !ok; a = a->ai_next) {
    int fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0)
      continue;
    if (connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
      ok = true;
    } else if (errno == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      int error = 0;
      socklen_t size = sizeof error;
      ok = poll(&p, 1, 1000) == 1 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 &&
           error == 0;
    }
    close(fd);
  }
  freeaddrinfo(found);
  return ok;
}

bool XServerReachable()
{
  const char *display = std::getenv("DISPLAY");
  if (!display || !*display)
    return false;
  std::string name(display);
  if (name[0] == '/') // a socket path
    return ConnectUnix(name.substr(0, name.rfind(':')), false);
  size_t colon = name.rfind(':');
  if (colon == std::string::npos)
    return false;
  std::string host = name.substr(0, colon);
  int number = std::atoi(name.c_str() + colon + 1);
  if (number < 0 || number > 65535 - 6000)
    return false;
  if (host.empty() || host == "unix") {
    std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    return ConnectUnix(path, false) || ConnectUnix(path, true);
  }
  return ConnectTcp(host, 6000 + number);
}

bool WaylandReachable()
{
  const char *socketName = std::getenv("WAYLAND_DISPLAY");
  std::string path = socketName && *socketName ? socketName : "wayland-0";
  if (path[0] != '/') {
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime)
      return false;
    path = std::string(runtime) + "/" + path;
  }
  return ConnectUnix(path, false);
}

bool PlatformReachable(const std::string &platform)
{
  if (platform == "offscreen" || platform == "minimal")
    return true;
  if (platform == "xcb")
    return XServerReachable();
  if (platform.rfind("wayland", 0) == 0)
    return WaylandReachable();
  // Other platforms (framebuffer, vnc...) were asked for explicitly; trust them.
  return !platform.empty();
}

} // namespace

bool QtDisplayReachable()
{
  const char *requested = std::getenv("QT_QPA_PLATFORM");
  if (!requested || !*requested)
    return XServerReachable();
  // A list of platforms separated by ';', each with options after ':'.
  std::string list(requested);
  size_t begin = 0;
  while (begin <= list.size()) {
    size_t end = list.find(';', begin);
    std::string entry =
        list.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    if (PlatformReachable(entry.substr(0, entry.find(':'))))
      return true;
    if (end == std::string::npos)
      break;
    begin = end + 1;
  }
  return false;
}
