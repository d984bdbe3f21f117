// While alive, VTK's error and warning texts go to this object instead of
// the terminal, so that a failed VTK read or write becomes an IoResult.
#pragma once

#include <string>

class vtkOutputWindow;

namespace pelmora::io {

class VtkMessageCapture
{
public:
  VtkMessageCapture();
  ~VtkMessageCapture();
  VtkMessageCapture(const VtkMessageCapture &) = delete;
  VtkMessageCapture &operator=(const VtkMessageCapture &) = delete;

  // The last error (or, without one, warning) reported, reduced to its last
  // line, which is the message proper; "" when none.
  std::string LastError() const;
  bool HasError() const;

private:
  vtkOutputWindow *m_previous;
  vtkOutputWindow *m_capture;
};

} // namespace pelmora::io
