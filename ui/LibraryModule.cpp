#include "ui/LibraryModule.h"

#include "framework/DialogTemplate.h"
#include "ui/CProgressDlg.h"
#include "ui/SurfaceParametersDlg.h"

AFX_MODULE_STATE *LibraryModuleState()
{
  static AFX_MODULE_STATE *state = [] {
    static AFX_MODULE_STATE module;
    // The library's resources: one line per dialog template.
    module.RegisterTemplate(CProgressDlg::Template());
    module.RegisterTemplate(CSurfaceParametersDlg::Template());
    return &module;
  }();
  return state;
}
