// Parallel loops: every index once whatever the thread count, progress only
// on the calling thread and never going back, nested loops serial, errors
// carried back; the closest-point hierarchy the same when built on any
// number of threads.
#include "opennurbs.h"
#include "opennurbs/ParallelFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <stdexcept>
#include <thread>
#include <vector>

using pelmora::ParallelFor;
using pelmora::SetThreadCount;

namespace {

struct ThreadCountScope
{
  explicit ThreadCountScope(int n) { SetThreadCount(n); }
  ~ThreadCountScope() { SetThreadCount(0); }
};

} // namespace

TEST(ParallelFor, EveryIndexOnceAndReportsOnTheCallingThreadOnly)
{
  const std::thread::id caller = std::this_thread::get_id();
  for (int threads : {1, 2, 3, 8, 64})
    for (int count : {0, 1, 7, 1000, 100003})
      for (int grain : {1, 100}) {
        SCOPED_TRACE(testing::Message()
                     << threads << " threads, " << count << " items, grain " << grain);
        ThreadCountScope scope(threads);
        std::vector<std::atomic<int>> visits(static_cast<size_t>(count));
        std::vector<int> reports;
        bool reportedElsewhere = false;
        ParallelFor(
            count, grain,
            [&](int begin, int end) {
              ASSERT_LE(0, begin);
              ASSERT_LE(begin, end);
              ASSERT_LE(end, count);
              for (int i = begin; i < end; ++i)
                ++visits[size_t(i)];
            },
            [&](int done) {
              reportedElsewhere |= std::this_thread::get_id() != caller;
              reports.push_back(done);
            });
        for (int i = 0; i < count; ++i)
          ASSERT_EQ(1, visits[size_t(i)].load()) << i;
        EXPECT_FALSE(reportedElsewhere);
        for (size_t k = 1; k < reports.size(); ++k)
          EXPECT_LE(reports[k - 1], reports[k]);
        if (count > 0) {
          ASSERT_FALSE(reports.empty());
          EXPECT_EQ(count, reports.back());
        }
      }
}

TEST(ParallelFor, PiecesAreContiguousAndFixedByTheThreadCount)
{
  // Static chunking: the same count and thread count always give the same
  // pieces, the calling thread taking the first.
  ThreadCountScope scope(4);
  const std::thread::id caller = std::this_thread::get_id();
  for (int run = 0; run < 3; ++run) {
    std::vector<std::pair<int, int>> pieces(4, {-1, -1});
    std::atomic<int> calls{0};
    bool firstOnCaller = false;
    ParallelFor(1000, 1, [&](int begin, int end) {
      const int k = begin / 250;
      pieces[size_t(k)] = {begin, end};
      if (begin == 0)
        firstOnCaller = std::this_thread::get_id() == caller;
      ++calls;
    });
    EXPECT_EQ(4, calls.load());
    EXPECT_TRUE(firstOnCaller);
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(std::make_pair(250 * k, 250 * (k + 1)), pieces[size_t(k)]);
  }
}

TEST(ParallelFor, NestedLoopsRunOnTheirOwnThreadAndErrorsComeBack)
{
  ThreadCountScope scope(3);
  std::atomic<int> crossed{0};
  ParallelFor(30, 1, [&](int begin, int end) {
    const std::thread::id outer = std::this_thread::get_id();
    ParallelFor(end - begin, 1, [&](int, int) { crossed += std::this_thread::get_id() != outer; });
  });
  EXPECT_EQ(0, crossed.load());

  // The first piece's error wins, and only after every piece has run.
  std::atomic<int> finished{0};
  try {
    ParallelFor(3000, 1, [&](int begin, int) {
      if (begin == 1000)
        throw std::runtime_error("second");
      if (begin == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        throw std::runtime_error("first");
      }
      ++finished;
    });
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error &error) {
    EXPECT_STREQ("first", error.what());
  }
  EXPECT_EQ(1, finished.load());

  // An error thrown by the report stops the reports, not the work.
  std::atomic<int> done{0};
  EXPECT_THROW(ParallelFor(
                   10000, 1, [&](int begin, int end) { done += end - begin; },
                   [](int) { throw std::runtime_error("report"); }),
               std::runtime_error);
  EXPECT_EQ(10000, done.load());
}

TEST(ParallelFor, ClosestPointHierarchyIsTheSameOnAnyNumberOfThreads)
{
  // Biquadratic, bicubic and rational surfaces: the trees built on 1 and on
  // several threads give bit-identical answers.
  const struct
  {
    int order;
    bool rational;
  } cases[] = {{3, false}, {4, false}, {3, true}};
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "order " << c.order << (c.rational ? " rational" : ""));
    const int n = 90;
    ON_NurbsSurface source(3, c.rational, c.order, c.order, n, n);
    source.MakeClampedUniformKnotVector(0);
    source.MakeClampedUniformKnotVector(1);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        const double w = c.rational ? 1.0 + 0.4 * std::sin(i * 0.7 + j) : 1.0;
        source.SetCV(i, j,
                     ON_4dPoint(w * i, w * j, w * 5.0 * std::sin(i * 0.2) * std::cos(j * 0.15), w));
      }
    std::vector<double> answers[2];
    for (int run = 0; run < 2; ++run) {
      ThreadCountScope scope(run == 0 ? 1 : 5);
      ON_NurbsSurface surface(source);
      for (int k = 0; k < 400; ++k) {
        const ON_3dPoint p(k % 20 * 4.4 + 0.3, k / 20 * 4.4 + 0.1, 3.0 * std::cos(k * 0.37));
        double s = -1, t = -1;
        answers[run].push_back(surface.GetClosestPoint(p, &s, &t) ? 1.0 : 0.0);
        answers[run].push_back(s);
        answers[run].push_back(t);
      }
    }
    EXPECT_EQ(answers[0], answers[1]);
  }
}
