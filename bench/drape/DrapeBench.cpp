// The drape pipeline on a million-point cloud with the suggested grid and
// interpolation on: DrapeSurface in one call (no window can open, so the
// suggestion and a probe diameter of 0 are used), and the drape without
// asking with a probe diameter of 2 so that the compensation runs.
// Argument: showProgress (0 or 1).
//
// The *Memory benchmarks run each operation once in a forked child and
// report the peak resident memory it added (VmHWM after, VmRSS before, the
// peak reset through /proc/self/clear_refs) against 4 x (cloud + matrix).
#include "PMSurface.h"
#include "PMToolkit.h"
#include "drape/HeightFieldCloud.h"
#include "surface/DrapePipeline.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kCloudSize = 1000000;

double dome(double x, double y)
{
  const double u = x - 50.0, v = y - 50.0;
  return 20.0 - 0.002 * (u * u + v * v);
}

const ON_3dPointArray &cloud()
{
  static const ON_3dPointArray points = drape_test::uniformCloud(kCloudSize, 100.0, 100.0, dome);
  return points;
}

const ON_3dVector kDown(0.0, 0.0, -1.0);

int drapeInOneCall(int showProgress, ON_3dPointArray &matrix, ON_NurbsSurface &surface)
{
  int rows = 0, cols = 0;
  PMSurface::DrapeSurface(matrix, rows, cols, surface, cloud(), kDown, 1, showProgress, nullptr);
  return rows * cols;
}

int drapeStepByStep(int showProgress, ON_3dPointArray &matrix, ON_NurbsSurface &surface)
{
  pelmora::DrapeFrame frame(cloud(), kDown, showProgress);
  pelmora::DrapeSettings settings;
  frame.SuggestGrid(settings.rows, settings.cols);
  settings.probeDiameter = 2.0;
  settings.interpolate = 1;
  settings.showProgress = showProgress;
  frame.Drape(settings, matrix, surface);
  return settings.rows * settings.cols;
}

using Drape = int (*)(int, ON_3dPointArray &, ON_NurbsSurface &);

void runTimed(benchmark::State &state, Drape drape)
{
  PMSelectToolkit(PMToolkitKind::None);
  cloud();
  for (auto _ : state) {
    ON_3dPointArray matrix;
    ON_NurbsSurface surface;
    state.counters["nodes"] = drape(static_cast<int>(state.range(0)), matrix, surface);
    benchmark::DoNotOptimize(matrix.Array());
  }
}

long statusKilobytes(const char *field)
{
  std::ifstream status("/proc/self/status");
  std::string line;
  const size_t length = std::strlen(field);
  while (std::getline(status, line))
    if (line.compare(0, length, field) == 0)
      return std::atol(line.c_str() + length + 1);
  return -1;
}

// Runs `drape` once in a child process; returns the peak bytes it added to
// the child's resident memory and the number of matrix nodes.
bool measurePeak(Drape drape, int showProgress, double &peakBytes, double &nodes)
{
  int channel[2];
  if (pipe(channel) != 0)
    return false;
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = statusKilobytes("VmRSS:");
    ON_3dPointArray matrix;
    ON_NurbsSurface surface;
    const int count = drape(showProgress, matrix, surface);
    const long peak = statusKilobytes("VmHWM:");
    const double result[2] = {(peak - before) * 1024.0, double(count)};
    const ssize_t written = write(channel[1], result, sizeof result);
    _exit(written == sizeof result ? 0 : 1);
  }
  close(channel[1]);
  double result[2] = {0.0, 0.0};
  const bool ok = read(channel[0], result, sizeof result) == sizeof result;
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  peakBytes = result[0];
  nodes = result[1];
  return ok;
}

void runMemory(benchmark::State &state, Drape drape)
{
  PMSelectToolkit(PMToolkitKind::None);
  cloud();
  for (auto _ : state) {
    double peakBytes = 0.0, nodes = 0.0;
    if (!measurePeak(drape, static_cast<int>(state.range(0)), peakBytes, nodes)) {
      state.SkipWithError("measuring child failed");
      return;
    }
    const double budget = 4.0 * (kCloudSize + nodes) * sizeof(ON_3dPoint);
    state.counters["peak_MB"] = peakBytes / 1e6;
    state.counters["budget_MB"] = budget / 1e6;
    state.counters["peak_per_budget"] = peakBytes / budget;
  }
}

void BM_DrapeSurface(benchmark::State &state)
{
  runTimed(state, drapeInOneCall);
}
void BM_DrapeStepsWithOffset(benchmark::State &state)
{
  runTimed(state, drapeStepByStep);
}
void BM_DrapeSurfaceMemory(benchmark::State &state)
{
  runMemory(state, drapeInOneCall);
}
void BM_DrapeStepsWithOffsetMemory(benchmark::State &state)
{
  runMemory(state, drapeStepByStep);
}

} // namespace

BENCHMARK(BM_DrapeSurface)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DrapeStepsWithOffset)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_DrapeSurfaceMemory)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DrapeStepsWithOffsetMemory)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);
