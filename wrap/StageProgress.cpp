// Stage progress on the pipeline reporter; see StageProgress.h.
#include "wrap/StageProgress.h"

#include "framework/Guarded.h"
#include "ui/PipelineProgress.h"

namespace pelmora::wrap {

StageProgress::StageProgress(const char *title, int showProgress)
{
  if (showProgress != 1)
    return;
  m_open = true;
  thePipelineProgress.StartProgress();
  thePipelineProgress.SetTitle(CString(title));
}

StageProgress::~StageProgress()
{
  if (m_open)
    Guarded([] { thePipelineProgress.EndProgress(); });
}

void StageProgress::Reach(double fraction)
{
  if (m_open)
    thePipelineProgress.SetCurrent(fraction * 100.0);
}

void StageProgress::Finish()
{
  if (!m_open)
    return;
  thePipelineProgress.SetCurrent(100.0);
  m_open = false;
  thePipelineProgress.EndProgress();
}

} // namespace pelmora::wrap
