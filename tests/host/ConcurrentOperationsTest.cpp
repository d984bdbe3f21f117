// A host running operations on separate data from two threads at once. In
// the ThreadSanitizer build (scripts/test) any state the library shares
// between the threads without synchronisation is reported; in every build
// the error text read back must always be one whole message.
#include "PMProgress.h"
#include "PMSurface.h"
#include "PMToolkit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

// side x side points of a smooth bump over [0, side) x [0, side), shifted
// by `seed` so that each thread has its own cloud.
ON_3dPointArray Bump(int side, double seed)
{
  ON_3dPointArray points(side * side);
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c) {
      const double x = c + 0.25 * std::sin(seed + r), y = r + 0.25 * std::cos(seed + c);
      points.Append(ON_3dPoint(x, y, std::sin(0.3 * x) * std::cos(0.2 * y) + seed));
    }
  return points;
}

struct Outcome
{
  int failures = 0;             // operations that did not give their known result
  std::set<std::wstring> texts; // error texts read back that are not a known message
};

const std::set<std::wstring> &KnownTexts()
{
  static const std::set<std::wstring> known = {L"Incorrect number of control points",
                                               L"Invalid Nurbs Surface", std::wstring(300, L'a'),
                                               std::wstring(500, L'b')};
  return known;
}

// One thread's work: the drape, a fit that fails with its thread's message,
// a host text, both wraps and a reporter of the host's own; progress on in
// every other round.
void Work(int thread, int rounds, Outcome &outcome)
{
  const ON_3dPointArray cloud = Bump(12, thread);
  const ON_3dVector down(0.0, 0.0, -1.0);
  for (int round = 0; round < rounds; ++round) {
    const int progress = round % 2;
    auto noteText = [&outcome] {
      const CString text = PMSurface::GetError();
      if (!KnownTexts().count(std::wstring(text.GetString())))
        outcome.texts.insert(text.GetString());
    };

    ON_3dPointArray matrix;
    ON_NurbsSurface surface;
    int rows = 0, cols = 0;
    outcome.failures += PMSurface::DrapeSurface(matrix, rows, cols, surface, cloud, down, 1,
                                                progress, nullptr) != 1 ||
                        !surface.IsValid();

    ON_NurbsSurface unfitted;
    if (thread == 0)
      outcome.failures +=
          PMSurface::CreateSurfaceFromPointMatrix(unfitted, matrix, rows + 1, cols, progress) != 0;
    else
      outcome.failures += PMSurface::CreateSurfaceFromPointMatrix(
                              unfitted, matrix, 2, matrix.Count() / 2, progress) != 0;
    noteText();
    PMSurface::SetError(CString(std::wstring(thread == 0 ? 300 : 500, thread == 0 ? L'a' : L'b')));
    noteText();

    ON_Mesh convex, concave;
    outcome.failures += PMSurface::WrapConvexMesh(convex, cloud, progress) != 1;
    outcome.failures += PMSurface::WrapMesh(concave, cloud, 1, progress) != 1;

    PMProgress own(L"Host work", L"", 0.0, 100.0, nullptr);
    own.SetMax(40.0);
    own.StartProgress();
    for (int i = 0; i < 40; ++i)
      own.SetCurrent(i);
    own.EndProgress();
  }
}

class ConcurrentOperations : public ::testing::TestWithParam<PMToolkitKind>
{
};

TEST_P(ConcurrentOperations, TwoThreadsOnSeparateData)
{
  PMSelectToolkit(GetParam());
  Outcome outcomes[2];
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t)
    threads.emplace_back(Work, t, 6, std::ref(outcomes[t]));
  for (std::thread &thread : threads)
    thread.join();
  for (const Outcome &outcome : outcomes) {
    EXPECT_EQ(outcome.failures, 0);
    EXPECT_TRUE(outcome.texts.empty()) << "a torn or unknown error text was read";
  }
}

INSTANTIATE_TEST_SUITE_P(Toolkits, ConcurrentOperations,
                         ::testing::Values(PMToolkitKind::None, PMToolkitKind::Terminal),
                         [](const auto &info) {
                           return info.param == PMToolkitKind::None ? "None" : "Terminal";
                         });

} // namespace
