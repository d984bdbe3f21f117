#include "surface/PelmoraApp.h"

#include "ui/LibraryModule.h"

namespace {

// Load-time order in this file: install the library's module state, construct
// the application object (it registers with that state), restore the
// state and run InitInstance; at unload ExitInstance runs before the object
// is destroyed.
AFX_MODULE_STATE *const s_previousState = AfxSetModuleState(LibraryModuleState());

} // namespace

CPelmora80App::CPelmora80App() : CWinApp(nullptr) {}

BOOL CPelmora80App::InitInstance()
{
  CWinApp::InitInstance();
  return TRUE;
}

CPelmora80App theApp;

namespace {

struct LibraryStartup
{
  LibraryStartup()
  {
    AfxSetModuleState(s_previousState);
    theApp.InitInstance();
  }
  ~LibraryStartup() { theApp.CWinApp::ExitInstance(); }
};

LibraryStartup s_startup;

} // namespace
