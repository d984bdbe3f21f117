// Module state: which module's resources (dialog templates) and application
// object are current, per thread; and the guard that switches it.
#pragma once

#include "framework/WinTypes.h"

#include <map>

struct DialogTemplate;
class CWinApp;

struct AFX_MODULE_STATE
{
  CWinApp *m_pCurrentWinApp = nullptr;
  std::map<UINT, const DialogTemplate *> m_templates;

  // Adds a template to the module's resources (replacing one with its id).
  void RegisterTemplate(const DialogTemplate &dialog);
  // The template with this id, or null.
  const DialogTemplate *FindTemplate(UINT id) const;
};

// The current module state of the calling thread (the process's own state
// when nothing was installed).
AFX_MODULE_STATE *AfxGetModuleState();
// Installs `state` (null restores the process's state); returns the previous one.
AFX_MODULE_STATE *AfxSetModuleState(AFX_MODULE_STATE *state);

// Installs a module state for its lifetime and restores the previous one at
// its end, on every way out of the scope.
class AFX_MAINTAIN_STATE2
{
public:
  explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE *state);
  ~AFX_MAINTAIN_STATE2();
  AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2 &) = delete;
  AFX_MAINTAIN_STATE2 &operator=(const AFX_MAINTAIN_STATE2 &) = delete;

private:
  AFX_MODULE_STATE *m_pPrevModuleState;
};
