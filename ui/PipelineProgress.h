// The progress reporter of the mesh-wrapping pipelines and the three hooks
// that drive it. Each hook takes the reporting filter (a vtkAlgorithm*) as
// its untyped argument; a null filter is ignored where the hook would read
// it.
//
// There is one reporter per thread: a pipeline reports in a window of the
// thread that runs it, and wraps running on two threads at once never share
// a reporter. A host that wraps on one thread sees one reporter that keeps
// its fields (last title, parent window) from run to run.
#pragma once

#include "PMProgress.h"

extern thread_local PMProgress thePipelineProgress;

// StartProgress, then the title from the filter's progress text.
void OnPipelineStart(void *filter);
// SetCurrent(filter progress * 100).
void OnPipelineProgress(void *filter);
// SetCurrent(100), then EndProgress.
void OnPipelineEnd(void *filter);
