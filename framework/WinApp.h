// Thread and application objects.
#pragma once

#include "framework/WinTypes.h"

class CWnd;

class CWinThread
{
public:
  CWinThread() = default;
  virtual ~CWinThread() = default;
  CWinThread(const CWinThread &) = delete;
  CWinThread &operator=(const CWinThread &) = delete;
  // The thread's main window, or null.
  virtual CWnd *GetMainWnd() { return m_pMainWnd; }
  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }

  CWnd *m_pMainWnd = nullptr;
};

// The application object of a module. Constructing one makes it the
// application of the module state current at that moment.
class CWinApp : public CWinThread
{
public:
  explicit CWinApp(const wchar_t *appName = nullptr);
  ~CWinApp() override;
  BOOL InitInstance() override { return TRUE; }
  int ExitInstance() override { return 0; }

  const wchar_t *m_pszAppName;

private:
  struct AFX_MODULE_STATE *m_pModuleState; // the module this object is the application of
};

// The current module's application object, or null.
CWinApp *AfxGetApp();
// The calling thread's object: the one registered for this thread with
// AfxSetThread, else the current module's application object; may be null.
CWinThread *AfxGetThread();
// Registers (or, with null, unregisters) the calling thread's object.
void AfxSetThread(CWinThread *thread);
