// Cost of progress reporting with a window open (Qt, offscreen platform
// unless a display is set): an update that changes nothing on the screen,
// and a loop of 1,000,000 steps of about 20 ns of work driven by the
// progress convention, against the same loop without progress.
#include "PMProgress.h"
#include "PMToolkit.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>

namespace {

void UseQtOffscreenUnlessADisplayIsSet()
{
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  PMSelectToolkit(PMToolkitKind::Qt);
}

void BM_SetCurrentUnchangedPercent(benchmark::State &state)
{
  UseQtOffscreenUnlessADisplayIsSet();
  PMProgress progress(L"Unchanged", L"", 0.0, 1e12, nullptr);
  progress.StartProgress();
  double value = 0.0;
  for (auto _ : state) {
    progress.SetCurrent(value); // stays at 0 %
    value += 1.0;
  }
  progress.EndProgress();
  state.SetLabel(PMCurrentToolkit() == PMToolkitKind::Qt ? "qt" : "no window");
}
BENCHMARK(BM_SetCurrentUnchangedPercent)->Iterations(10000000);

// About 20 ns of dependent integer work.
inline std::uint64_t Work(std::uint64_t x)
{
  for (int i = 0; i < 14; ++i)
    x = x * 6364136223846793005ull + 1442695040888963407ull;
  return x;
}

constexpr int kSteps = 1000000;

void BM_LoopWithoutProgress(benchmark::State &state)
{
  std::uint64_t x = 1;
  for (auto _ : state) {
    for (int i = 0; i < kSteps; ++i) {
      x = Work(x + static_cast<std::uint64_t>(i));
      benchmark::DoNotOptimize(x);
    }
  }
  state.SetItemsProcessed(state.iterations() * kSteps);
}
BENCHMARK(BM_LoopWithoutProgress)->Unit(benchmark::kMillisecond);

void BM_LoopWithProgressConvention(benchmark::State &state)
{
  UseQtOffscreenUnlessADisplayIsSet();
  std::uint64_t x = 1;
  for (auto _ : state) {
    PMProgress progress(L"Calculating surface", L"", 0.0, 100.0, nullptr);
    progress.SetMax(kSteps);
    progress.StartProgress();
    for (int i = 0; i < kSteps; ++i) {
      progress.SetCurrent(i);
      x = Work(x + static_cast<std::uint64_t>(i));
      benchmark::DoNotOptimize(x);
    }
    progress.EndProgress();
  }
  state.SetItemsProcessed(state.iterations() * kSteps);
  state.SetLabel(PMCurrentToolkit() == PMToolkitKind::Qt ? "qt" : "no window");
}
BENCHMARK(BM_LoopWithProgressConvention)->Unit(benchmark::kMillisecond);

} // namespace
