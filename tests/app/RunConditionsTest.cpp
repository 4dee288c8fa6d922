// When a scheduled run may start besides its hour: the battery rule at and
// around its level, and the wait after the machine wakes.
#include <gtest/gtest.h>

#include "app/RunConditions.h"
#include "desktop/TrayHint.h"
#include "support/KeptDay.h"

namespace varnoket {
namespace {

TEST(BatteryRefusalTest, OnlyABatteryBelowTheLevelHoldsTheRunBack) {
  EXPECT_FALSE(BatteryRefusal(PowerState{false, 5.0}, 30));  // mains power
  EXPECT_FALSE(BatteryRefusal(PowerState{true, 30.0}, 30));  // at the level
  EXPECT_FALSE(BatteryRefusal(PowerState{true, 5.0}, 0));    // 0: never waits
  // A battery that gives no level is trusted.
  EXPECT_FALSE(BatteryRefusal(PowerState{true, std::nullopt}, 30));
  const auto justBelow = BatteryRefusal(PowerState{true, 29.9}, 30);
  ASSERT_TRUE(justBelow);
  EXPECT_EQ(*justBelow, "Sauvegarde reportée : sur batterie (29 %, moins de 30 %)");
  // A level of 100 waits for the charger whenever the charge is not full,
  // and its text, the longest, still fits the tooltip whole; a service's odd
  // reading is kept within 0..100.
  const auto longest = BatteryRefusal(PowerState{true, 99.0}, 100);
  ASSERT_TRUE(longest);
  EXPECT_EQ(CutTrayHint(*longest), *longest);
  EXPECT_FALSE(BatteryRefusal(PowerState{true, 104.0}, 100));
  const auto negative = BatteryRefusal(PowerState{true, -3.0}, 30);
  ASSERT_TRUE(negative);
  EXPECT_NE(negative->find("(0 %"), std::string::npos) << *negative;
}

TEST(RunDelayAfterWakeTest, ADueRunWaitsTheDelayAndNoneIsDueOnceTodaysRunWasMade) {
  const LocalDateTime afterHour{2026, 3, 10, 13, 30, 0, 0};
  EXPECT_EQ(RunDelayAfterWake(afterHour, KeptDay("09/03/2026"), 13, 0, 2), 120000);
  EXPECT_EQ(RunDelayAfterWake(afterHour, KeptDay("01/01/2020"), 13, 0, 0), 0);
  EXPECT_EQ(RunDelayAfterWake(afterHour, KeptDay("10/03/2026"), 13, 0, 2), std::nullopt);
  // Woken before the day's hour: the scheduler's own tick will start it.
  EXPECT_EQ(RunDelayAfterWake({2026, 3, 10, 12, 59, 0, 0}, KeptDay("09/03/2026"), 13, 0, 2),
            std::nullopt);
  EXPECT_EQ(RunDelayAfterWake(afterHour, KeptDay("09/03/2026"), 13, 0, -5), 0);
}

}  // namespace
}  // namespace varnoket
