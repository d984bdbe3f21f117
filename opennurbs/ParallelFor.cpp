#include "ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace pelmora {
namespace {

std::atomic<int> g_threads{0}; // 0: not set

int DefaultThreadCount()
{
  if (const char *text = std::getenv("PELMORA_THREADS")) {
    char *end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && n >= 1 && n <= 1024)
      return int(n);
  }
  const unsigned cores = std::thread::hardware_concurrency();
  return cores >= 1 ? int(std::min(cores, 1024u)) : 1;
}

// Set on the threads of a running loop, so that nested loops stay serial.
thread_local bool t_inLoop = false;

// Finished indices shared by the pieces, and the wake-up of the reporting
// thread when the others are done.
struct Shared
{
  std::atomic<int> done{0};
  std::mutex mutex;
  std::condition_variable finished;
  int running = 0;
};

// Runs one piece; with reporting on, in steps that add to the shared count.
void RunPiece(int begin, int end, int step, Shared *shared,
              const std::function<void(int, int)> &body, const std::function<void(int)> *report)
{
  if (!shared) {
    body(begin, end);
    return;
  }
  for (int at = begin; at < end;) {
    const int next = end - at > step ? at + step : end;
    body(at, next);
    const int done = shared->done.fetch_add(next - at, std::memory_order_relaxed) + (next - at);
    if (report)
      (*report)(done);
    at = next;
  }
}

} // namespace

int ThreadCount()
{
  const int set = g_threads.load(std::memory_order_relaxed);
  if (set > 0)
    return set;
  static const int fallback = DefaultThreadCount();
  return fallback;
}

void SetThreadCount(int count)
{
  g_threads.store(count > 0 ? std::min(count, 1024) : 0, std::memory_order_relaxed);
}

void ParallelFor(int count, int grain, const std::function<void(int, int)> &body,
                 const std::function<void(int)> &report)
{
  if (count <= 0)
    return;
  grain = std::max(grain, 1);
  int threads = t_inLoop ? 1 : std::min(ThreadCount(), std::max(count / grain, 1));
  // Steps between reports: about 200 per loop, few enough to cost nothing.
  const int step = std::max(1, std::min(4096, count / 200));
  Shared shared;
  Shared *counting = report ? &shared : nullptr;
  // The caller's reports: one that throws stops the reports, not the work.
  std::exception_ptr reportError;
  const std::function<void(int)> safeReport = [&](int done) {
    if (reportError)
      return;
    try {
      report(done);
    } catch (...) {
      reportError = std::current_exception();
    }
  };
  const std::function<void(int)> *callerReport = report ? &safeReport : nullptr;

  std::vector<std::exception_ptr> errors(size_t(threads), nullptr);
  std::vector<std::thread> workers;
  workers.reserve(size_t(threads - 1));
  auto pieceBegin = [&](int k) { return int(static_cast<long long>(count) * k / threads); };
  for (int k = 1; k < threads; ++k) {
    {
      std::lock_guard<std::mutex> lock(shared.mutex);
      ++shared.running;
    }
    try {
      workers.emplace_back([&, k] {
        t_inLoop = true;
        try {
          RunPiece(pieceBegin(k), pieceBegin(k + 1), step, counting, body, nullptr);
        } catch (...) {
          errors[size_t(k)] = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(shared.mutex);
        if (--shared.running == 0)
          shared.finished.notify_one();
      });
    } catch (...) {
      // No thread to be had: the calling thread does this piece itself.
      {
        std::lock_guard<std::mutex> lock(shared.mutex);
        --shared.running;
      }
      t_inLoop = true;
      try {
        RunPiece(pieceBegin(k), pieceBegin(k + 1), step, counting, body, callerReport);
      } catch (...) {
        errors[size_t(k)] = std::current_exception();
      }
      t_inLoop = false;
    }
  }

  const bool outer = !t_inLoop;
  t_inLoop = true;
  try {
    RunPiece(0, pieceBegin(1), step, counting, body, callerReport);
  } catch (...) {
    errors[0] = std::current_exception();
  }
  t_inLoop = !outer;

  {
    std::unique_lock<std::mutex> lock(shared.mutex);
    while (shared.running > 0) {
      if (report) {
        lock.unlock();
        safeReport(shared.done.load(std::memory_order_relaxed));
        lock.lock();
        shared.finished.wait_for(lock, std::chrono::milliseconds(10),
                                 [&] { return shared.running == 0; });
      } else {
        shared.finished.wait(lock, [&] { return shared.running == 0; });
      }
    }
  }
  for (std::thread &worker : workers)
    worker.join();
  if (report)
    safeReport(shared.done.load(std::memory_order_relaxed));
  for (const std::exception_ptr &error : errors)
    if (error)
      std::rethrow_exception(error);
  if (reportError)
    std::rethrow_exception(reportError);
}

} // namespace pelmora
