#include "ui/PipelineProgress.h"

#include <vtkAlgorithm.h>

thread_local PMProgress thePipelineProgress;

void OnPipelineStart(void *filter)
{
  thePipelineProgress.StartProgress();
  if (auto *algorithm = static_cast<vtkAlgorithm *>(filter))
    thePipelineProgress.SetTitle(CString(algorithm->GetProgressText()));
}

void OnPipelineProgress(void *filter)
{
  if (auto *algorithm = static_cast<vtkAlgorithm *>(filter))
    thePipelineProgress.SetCurrent(algorithm->GetProgress() * 100.0);
}

void OnPipelineEnd(void *)
{
  thePipelineProgress.SetCurrent(100.0);
  thePipelineProgress.EndProgress();
}
