#include "framework/qt/QtDisplay.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool ConnectUnix(const std::string &path)
{
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) {
    close(fd);
    return false;
  }
  std::memcpy(address.sun_path, path.data(), path.size());
  socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
  bool ok = connect(fd, reinterpret_cast<sockaddr *>(&address), length) == 0;
  close(fd);
  return ok;
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
  return ConnectUnix(path);
}

} // namespace

bool QtPlatformInvisible(const std::string &name)
{
  return name == "offscreen" || name == "minimal";
}

QtScreenCheck::QtScreenCheck()
{
  const char *requested = std::getenv("QT_QPA_PLATFORM");
  if (!requested || !*requested) {
    m_usable = ProbeX();
    return;
  }
  // A list of platforms separated by ';', each with options after ':'.
  const std::string list(requested);
  size_t begin = 0;
  while (!m_usable && begin <= list.size()) {
    const size_t end = list.find(';', begin);
    const std::string entry =
        list.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    m_usable = PlatformUsable(entry.substr(0, entry.find(':')));
    if (end == std::string::npos)
      break;
    begin = end + 1;
  }
}

QtScreenCheck::~QtScreenCheck()
{
  pelmora::CloseXDisplay(m_xProbe);
}

bool QtScreenCheck::PlatformUsable(const std::string &platform)
{
  if (QtPlatformInvisible(platform))
    return true;
  if (platform == "xcb")
    return ProbeX();
  if (platform.rfind("wayland", 0) == 0)
    return WaylandReachable();
  // Other platforms (framebuffer, vnc...) were asked for explicitly; trust them.
  return !platform.empty();
}

bool QtScreenCheck::ProbeX()
{
  if (!m_xProbe)
    m_xProbe = pelmora::OpenXDisplay(nullptr);
  return m_xProbe != nullptr;
}
