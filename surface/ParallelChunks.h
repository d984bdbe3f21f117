// Runs a fixed number of independent chunks of work on the machine's cores.
// The split into chunks is the caller's and does not depend on the number
// of threads, so a caller that combines per-chunk results in chunk order
// gets the same bits on any machine. An exception thrown by a chunk is
// rethrown on the calling thread once every thread has stopped.
#pragma once

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace pelmora {

template <class Body> void ForEachChunk(int chunks, Body body)
{
  const int threads = std::max(
      1, std::min(chunks, static_cast<int>(std::max(1u, std::thread::hardware_concurrency()))));
  if (threads <= 1) {
    for (int c = 0; c < chunks; ++c)
      body(c);
    return;
  }
  std::atomic<int> next{0};
  std::exception_ptr failure;
  std::mutex failureLock;
  auto work = [&]() {
    for (int c = next++; c < chunks; c = next++) {
      try {
        body(c);
      } catch (...) {
        std::lock_guard<std::mutex> lock(failureLock);
        if (!failure)
          failure = std::current_exception();
      }
    }
  };
  std::vector<std::thread> pool;
  pool.reserve(threads - 1);
  for (int t = 1; t < threads; ++t)
    pool.emplace_back(work);
  work();
  for (std::thread &thread : pool)
    thread.join();
  if (failure)
    std::rethrow_exception(failure);
}

// The half-open range of chunk `chunk` when `count` items are cut into
// `chunks` nearly equal pieces.
inline void ChunkRange(long long count, int chunks, int chunk, long long &begin, long long &end)
{
  begin = count * chunk / chunks;
  end = count * (chunk + 1) / chunks;
}

} // namespace pelmora
