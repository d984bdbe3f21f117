// CPelmora80App: the library's application object. One global instance is
// constructed when the library is loaded (as the application of the
// library's module state) and its InitInstance runs at once.
#pragma once

#include "framework/WinApp.h"

class CPelmora80App : public CWinApp
{
public:
  CPelmora80App();
  BOOL InitInstance() override;
};

extern CPelmora80App theApp;
