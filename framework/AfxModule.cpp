#include "framework/AfxModule.h"

#include "framework/DialogTemplate.h"

namespace {

AFX_MODULE_STATE &ProcessModuleState()
{
  static AFX_MODULE_STATE state;
  return state;
}

thread_local AFX_MODULE_STATE *t_currentState = nullptr;

} // namespace

void AFX_MODULE_STATE::RegisterTemplate(const DialogTemplate &dialog)
{
  m_templates[dialog.id] = &dialog;
}

const DialogTemplate *AFX_MODULE_STATE::FindTemplate(UINT id) const
{
  auto it = m_templates.find(id);
  return it == m_templates.end() ? nullptr : it->second;
}

AFX_MODULE_STATE *AfxGetModuleState()
{
  return t_currentState ? t_currentState : &ProcessModuleState();
}

AFX_MODULE_STATE *AfxSetModuleState(AFX_MODULE_STATE *state)
{
  AFX_MODULE_STATE *previous = AfxGetModuleState();
  t_currentState = state;
  return previous;
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE *state)
    : m_pPrevModuleState(AfxSetModuleState(state))
{
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2()
{
  AfxSetModuleState(m_pPrevModuleState);
}
