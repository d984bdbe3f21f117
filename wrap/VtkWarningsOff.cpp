// The scoped VTK warning switch; see VtkWarningsOff.h.
#include "wrap/VtkWarningsOff.h"

#include <vtkObject.h>

#include <mutex>

namespace pelmora::wrap {
namespace {

struct Switch
{
  std::mutex lock;
  int inside = 0;      // wraps running now
  int hostSetting = 1; // the display as the first of them found it
};

Switch &TheSwitch()
{
  static Switch shared;
  return shared;
}

} // namespace

VtkWarningsOff::VtkWarningsOff()
{
  Switch &s = TheSwitch();
  const std::lock_guard<std::mutex> hold(s.lock);
  if (s.inside++ == 0) {
    s.hostSetting = vtkObject::GetGlobalWarningDisplay();
    vtkObject::GlobalWarningDisplayOff();
  }
}

VtkWarningsOff::~VtkWarningsOff()
{
  Switch &s = TheSwitch();
  const std::lock_guard<std::mutex> hold(s.lock);
  if (--s.inside == 0)
    vtkObject::SetGlobalWarningDisplay(s.hostSetting);
}

} // namespace pelmora::wrap
