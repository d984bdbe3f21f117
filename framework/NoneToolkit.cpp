// The toolkit for no screen at all: no window ever opens.
#include "framework/Toolkit.h"

namespace {

class NoScreen final : public PMToolkit
{
public:
  std::unique_ptr<PMToolkitWindow> CreateDialogWindow(const DialogTemplate &, HWND, bool,
                                                      PMWindowEvents &) override
  {
    return nullptr;
  }
  int MessageBox(HWND, const CString &, const CString &, UINT) override { return 0; }
};

} // namespace

PMToolkit &NoneToolkit()
{
  static NoScreen toolkit;
  return toolkit;
}
