#include "io/VtkMessageCapture.h"

#include <vtkObjectFactory.h>
#include <vtkOutputWindow.h>

namespace pelmora::io {
namespace {

class CapturingWindow : public vtkOutputWindow
{
public:
  static CapturingWindow *New();
  vtkTypeMacro(CapturingWindow, vtkOutputWindow)

      void DisplayText(const char *) override
  {
  }
  void DisplayErrorText(const char *text) override { m_error = Clean(text); }
  void DisplayWarningText(const char *text) override { m_warning = Clean(text); }
  void DisplayGenericWarningText(const char *text) override { m_warning = Clean(text); }
  void DisplayDebugText(const char *) override {}

  std::string m_error;
  std::string m_warning;

private:
  static std::string Clean(const char *text)
  {
    std::string message = text ? text : "";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
      message.pop_back();
    size_t lastLine = message.find_last_of('\n');
    if (lastLine != std::string::npos)
      message = message.substr(lastLine + 1);
    // "vtkXMLPolyDataReader (0x55d...): text" -> "text"
    size_t colon = message.find("): ");
    if (message.compare(0, 3, "vtk") == 0 && colon != std::string::npos)
      message = message.substr(colon + 3);
    return message;
  }
};

vtkStandardNewMacro(CapturingWindow);

} // namespace

VtkMessageCapture::VtkMessageCapture()
    : m_previous(vtkOutputWindow::GetInstance()), m_capture(CapturingWindow::New())
{
  m_previous->Register(nullptr);
  vtkOutputWindow::SetInstance(m_capture);
}

VtkMessageCapture::~VtkMessageCapture()
{
  vtkOutputWindow::SetInstance(m_previous);
  m_previous->UnRegister(nullptr);
  m_capture->Delete();
}

std::string VtkMessageCapture::LastError() const
{
  auto *window = static_cast<CapturingWindow *>(m_capture);
  return window->m_error.empty() ? window->m_warning : window->m_error;
}

bool VtkMessageCapture::HasError() const
{
  return !static_cast<CapturingWindow *>(m_capture)->m_error.empty();
}

} // namespace pelmora::io
