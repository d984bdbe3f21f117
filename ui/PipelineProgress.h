// The module-wide progress reporter of the mesh-wrapping pipelines and the
// three hooks that drive it. Each hook takes the reporting filter (a
// vtkAlgorithm*) as its untyped argument; a null filter is ignored where
// the hook would read it.
#pragma once

#include "PMProgress.h"

extern PMProgress thePipelineProgress;

// StartProgress, then the title from the filter's progress text.
void OnPipelineStart(void *filter);
// SetCurrent(filter progress * 100).
void OnPipelineProgress(void *filter);
// SetCurrent(100), then EndProgress.
void OnPipelineEnd(void *filter);
