// Loops over independent items on all cores, with results that do not depend
// on the number of threads: [0, count) is cut into one contiguous piece per
// thread (static chunking), every index is handled exactly once, and the
// calling thread takes the first piece. Bodies must only read shared data
// and write what belongs to their own indices.
#pragma once

#include <functional>

namespace pelmora {

// Threads a loop uses: the last SetThreadCount, else the environment
// variable PELMORA_THREADS, else the number of cores.
int ThreadCount();
// count < 1 goes back to the default.
void SetThreadCount(int count);

// Runs body(begin, end) on pieces of [0, count), each at least `grain` long
// (fewer threads when there is not enough work). `report`, when given, runs
// on the calling thread only, between pieces of its own work and while it
// waits for the others, with the number of finished indices: non-decreasing,
// the last call with `count`. A loop started inside another runs serially on
// the thread that started it. The first exception of a body, in the order of
// the pieces, is rethrown once every thread has stopped.
void ParallelFor(int count, int grain, const std::function<void(int begin, int end)> &body,
                 const std::function<void(int done)> &report = nullptr);

} // namespace pelmora
