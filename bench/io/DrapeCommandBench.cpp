// `pelmora drape` end to end as a user runs it: read a 1,000,000-point text
// cloud, build a 1000 x 1000 grid, fit, compensate for a 3 mm probe, write
// the surface.
#include "BenchCloud.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <unistd.h>

namespace {

void DrapeCommand(benchmark::State &state, const char *output)
{
  const auto &files = pelmora::bench::BenchCloud(1000000);
  if (::access(PELMORA_CLI, X_OK) != 0) {
    state.SkipWithError("the pelmora command is not built");
    return;
  }
  const std::string out = "/tmp/pelmora-bench-" + std::to_string(::getpid()) + output;
  const std::string command = std::string(PELMORA_CLI) + " -q drape " + files.text +
                              " --rows 1000 --cols 1000 --probe-diameter 3 -o " + out +
                              " </dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0)
      state.SkipWithError("pelmora drape failed");
  std::remove(out.c_str());
}

void BM_CommandLineDrapeToStep(benchmark::State &state)
{
  DrapeCommand(state, ".step");
}
void BM_CommandLineDrapeToIges(benchmark::State &state)
{
  DrapeCommand(state, ".iges");
}

} // namespace

BENCHMARK(BM_CommandLineDrapeToStep)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_CommandLineDrapeToIges)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

namespace {

// The drape as it replaces a grid-and-fill job: the suggested grid, empty
// nodes interpolated, the surface as STEP and the matrix as text; with a
// probe of 3 mm when the second argument is 1. Arguments: points, probe.
void BM_CommandLineDrapeInterpolated(benchmark::State &state)
{
  const auto &files = pelmora::bench::BenchCloud(int(state.range(0)));
  if (::access(PELMORA_CLI, X_OK) != 0) {
    state.SkipWithError("the pelmora command is not built");
    return;
  }
  const std::string out = "/tmp/pelmora-bench-" + std::to_string(::getpid());
  const std::string command = std::string(PELMORA_CLI) + " -q drape " + files.text +
                              " --interpolate" + (state.range(1) ? " --probe-diameter 3" : "") +
                              " -o " + out + ".step --matrix " + out + ".xyz </dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0)
      state.SkipWithError("pelmora drape failed");
  std::remove((out + ".step").c_str());
  std::remove((out + ".xyz").c_str());
}

} // namespace

BENCHMARK(BM_CommandLineDrapeInterpolated)
    ->ArgsProduct({{100000, 1000000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
