// VTK's warning display is one switch for the whole process. A wrap turns
// it off while it runs (the library writes no messages of its own) and
// gives the host its setting back afterwards. Wraps running on several
// threads share one count: the first one in keeps the host's setting, the
// last one out restores it.
#pragma once

namespace pelmora::wrap {

class VtkWarningsOff
{
public:
  VtkWarningsOff();
  ~VtkWarningsOff();
  VtkWarningsOff(const VtkWarningsOff &) = delete;
  VtkWarningsOff &operator=(const VtkWarningsOff &) = delete;
};

} // namespace pelmora::wrap
