// Items run on workers come back in the order they were added, with no more
// in flight than the bound, and a failed item's exception reaches the caller.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "restore/OrderedJobs.h"
#include "support/RecordingRestoreHost.h"

namespace varnoket {
namespace {

TEST(OrderedJobsTest, FinishesInTheOrderAddedWithinTheBound) {
  test::RecordingRestoreHost host;
  std::atomic<int> running{0};
  std::atomic<int> mostRunning{0};
  std::vector<int> finished;
  {
    OrderedJobs jobs(3, host);
    ASSERT_EQ(jobs.Limit(), 2 * static_cast<size_t>(WorkerCount(3)));
    size_t mostHeld = 0;
    for (int i = 0; i < 12; ++i) {
      if (i % 4 == 3) {
        jobs.AddDone([&finished, i] { finished.push_back(i); });
        continue;
      }
      // Earlier items last longer, so later ones end first.
      jobs.Add(
          [&running, &mostRunning, i] {
            const int now = ++running;
            int seen = mostRunning.load();
            while (now > seen && !mostRunning.compare_exchange_weak(seen, now)) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(12 - i));
            --running;
          },
          [&finished, i] { finished.push_back(i); });
      mostHeld = std::max(mostHeld, static_cast<size_t>(i + 1) - finished.size());
    }
    jobs.Drain();
    EXPECT_LE(mostHeld, jobs.Limit());
  }
  std::vector<int> inOrder(12);
  for (int i = 0; i < 12; ++i) inOrder[static_cast<size_t>(i)] = i;
  EXPECT_EQ(finished, inOrder);
  EXPECT_LE(mostRunning.load(), static_cast<int>(WorkerCount(3)));
  EXPECT_GE(host.pumps, 9);  // once per item handed out, at least
}

TEST(OrderedJobsTest, AFailedItemThrowsWhenItsTurnComesAfterTheOnesBefore) {
  test::RecordingRestoreHost host;
  std::vector<int> finished;
  OrderedJobs jobs(2, host);
  // The exception may come out of any call that finishes the failed item.
  try {
    jobs.Add([] {}, [&finished] { finished.push_back(0); });
    jobs.Add([] { throw std::runtime_error("disk gone"); }, [&finished] { finished.push_back(1); });
    jobs.AddDone([&finished] { finished.push_back(2); });
    jobs.Drain();
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "disk gone");
  }
  EXPECT_EQ(finished, std::vector<int>{0});
  jobs.Drain();
  EXPECT_EQ(finished, (std::vector<int>{0, 2}));
}

}  // namespace
}  // namespace varnoket
