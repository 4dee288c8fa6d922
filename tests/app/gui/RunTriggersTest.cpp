// The system's events that start a run besides the timer, on a real event
// loop: a mount (a bind mount stands for a disk) reaches the scheduler's
// call once, and a wake starts the due run only after its wait.
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>
#include <optional>

#include "app/gui/RunTriggers.h"
#include "support/BindMount.h"
#include "support/PrivateMountTable.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

struct Counts {
  int mounts = 0;
  int runs = 0;
  std::optional<int> delay;
};

RunTriggerCalls CallsInto(Counts& counts) {
  return RunTriggerCalls{[&counts] { ++counts.mounts; }, [&counts] { return counts.delay; },
                         [&counts] { ++counts.runs; }};
}

TEST(RunTriggersTest, AMountReachesTheSchedulerOnceForEachChange) {
  TakePrivateMountTable();
  TempDir tmp;
  std::filesystem::create_directories(tmp / "disk");
  std::filesystem::create_directories(tmp / "media");
  Counts counts;
  RunTriggers triggers(CallsInto(counts));
  ASSERT_TRUE(triggers.WatchingMounts());
  QTest::qWait(100);
  EXPECT_EQ(counts.mounts, 0) << "no change yet";
  {
    BindMount disk(tmp / "disk", tmp / "media");
    if (!disk.Mounted()) GTEST_SKIP() << "this user may not mount (a bind mount was refused)";
    ASSERT_TRUE(QTest::qWaitFor([&] { return counts.mounts > 0; }, 5000));
    QTest::qWait(200);
    EXPECT_EQ(counts.mounts, 1) << "one change, reported once";
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return counts.mounts == 2; }, 5000)) << "the unmount too";
  EXPECT_EQ(counts.runs, 0);
}

TEST(RunTriggersTest, AWakeStartsTheDueRunOnlyAfterItsWaitAndNothingWhenNoneIsDue) {
  Counts counts;
  RunTriggers triggers(CallsInto(counts));
  triggers.Woke();  // nothing due
  EXPECT_FALSE(triggers.WaitingAfterWake());
  QTest::qWait(50);
  EXPECT_EQ(counts.runs, 0);

  counts.delay = 300;
  triggers.Woke();
  EXPECT_TRUE(triggers.WaitingAfterWake());
  QTest::qWait(100);
  EXPECT_EQ(counts.runs, 0) << "the desktop settles first";
  // Woken again during the wait (a short nap): the wait starts anew, one run.
  triggers.Woke();
  ASSERT_TRUE(QTest::qWaitFor([&] { return counts.runs > 0; }, 5000));
  QTest::qWait(400);
  EXPECT_EQ(counts.runs, 1);
  EXPECT_FALSE(triggers.WaitingAfterWake());
}

}  // namespace
}  // namespace varnoket::test
