// Whether Qt can get a screen without aborting or hanging the process.
#pragma once

#include "PMExport.h"
#include "framework/XDisplay.h"

#include <string>

// Checks the platform Qt would use ($QT_QPA_PLATFORM, X by default): an X
// display that completes the connection handshake in time, a Wayland
// socket, or the offscreen and minimal platforms. The X
// connection of the check stays open while the object lives: create Qt's
// application within its lifetime, so that an X server that resets when its
// last client leaves (Xvfb) cannot reset between the check and Qt.
// Exported from the library for the Qt toolkit module.
class PELMORA_API QtScreenCheck
{
public:
  QtScreenCheck();
  ~QtScreenCheck();
  QtScreenCheck(const QtScreenCheck &) = delete;
  QtScreenCheck &operator=(const QtScreenCheck &) = delete;

  bool Usable() const { return m_usable; }

private:
  bool PlatformUsable(const std::string &platform);
  bool ProbeX();

  bool m_usable = false;
  _XDisplay *m_xProbe = nullptr;
};

// Whether windows of the platform `name` (QGuiApplication::platformName)
// are seen by nobody: offscreen and minimal.
PELMORA_API bool QtPlatformInvisible(const std::string &name);
