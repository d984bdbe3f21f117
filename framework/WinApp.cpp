#include "framework/WinApp.h"

#include "framework/AfxModule.h"

namespace {
thread_local CWinThread *t_thread = nullptr;
}

CWinApp::CWinApp(const wchar_t *appName)
    : m_pszAppName(appName), m_pModuleState(AfxGetModuleState())
{
  m_pModuleState->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp()
{
  // The module state may outlive its application object.
  if (m_pModuleState->m_pCurrentWinApp == this)
    m_pModuleState->m_pCurrentWinApp = nullptr;
}

CWinApp *AfxGetApp()
{
  return AfxGetModuleState()->m_pCurrentWinApp;
}

CWinThread *AfxGetThread()
{
  return t_thread ? t_thread : AfxGetApp();
}

void AfxSetThread(CWinThread *thread)
{
  t_thread = thread;
}
