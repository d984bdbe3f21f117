#include "ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <exception>
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
  const int threads = t_inLoop ? 1 : std::min(ThreadCount(), std::max(count / grain, 1));
  auto pieceBegin = [&](int k) { return int(static_cast<long long>(count) * k / threads); };
  std::vector<std::exception_ptr> errors(size_t(threads), nullptr);
  auto runPiece = [&](int k) {
    const bool outer = !t_inLoop;
    t_inLoop = true;
    try {
      body(pieceBegin(k), pieceBegin(k + 1));
    } catch (...) {
      errors[size_t(k)] = std::current_exception();
    }
    t_inLoop = !outer;
  };
  std::vector<std::thread> workers;
  workers.reserve(size_t(threads - 1));
  for (int k = 1; k < threads; ++k) {
    try {
      workers.emplace_back(runPiece, k);
    } catch (...) {
      runPiece(k); // no thread to be had: the calling thread does this piece itself
    }
  }
  runPiece(0);
  if (report && !errors[0])
    report(pieceBegin(1));
  for (std::thread &worker : workers)
    worker.join();
  if (report && !errors[0])
    report(count);
  for (const std::exception_ptr &error : errors)
    if (error)
      std::rethrow_exception(error);
}

} // namespace pelmora
