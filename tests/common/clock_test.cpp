#include "common/clock.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

const DateTime kStart{2024, 12, 31, 23, 59, 59};

TEST(ManualClockTest, TenTicksOfAHundredMillisecondsMakeOneSecond) {
  ManualClock clock(kStart);
  for (int tick = 0; tick < 9; ++tick) {
    clock.AdvanceMilliseconds(100);
    EXPECT_EQ(clock.Now(), kStart) << "tick " << tick;
  }
  clock.AdvanceMilliseconds(100);
  EXPECT_EQ(clock.Now(), (DateTime{2025, 1, 1, 0, 0, 0}));
  EXPECT_EQ(clock.SubSecondMilliseconds(), 0);
}

TEST(ManualClockTest, MillisecondsCarryAndBorrow) {
  ManualClock clock(kStart);
  clock.AdvanceMilliseconds(2750);
  EXPECT_EQ(clock.Now(), (DateTime{2025, 1, 1, 0, 0, 1}));
  EXPECT_EQ(clock.SubSecondMilliseconds(), 750);
  clock.AdvanceMilliseconds(-800);  // 1.750 s - 0.800 s = 0.950 s past midnight
  EXPECT_EQ(clock.Now(), (DateTime{2025, 1, 1, 0, 0, 0}));
  EXPECT_EQ(clock.SubSecondMilliseconds(), 950);
}

TEST(ManualClockTest, SetDropsThePendingFraction) {
  ManualClock clock(kStart);
  clock.AdvanceMilliseconds(900);
  clock.Set({2024, 1, 1, 8, 0, 0});
  clock.AdvanceMilliseconds(100);
  EXPECT_EQ(clock.Now(), (DateTime{2024, 1, 1, 8, 0, 0}));
  clock.AdvanceSeconds(3600);
  EXPECT_EQ(clock.Now(), (DateTime{2024, 1, 1, 9, 0, 0}));
}

TEST(SystemClockTest, ReportsARealPresentDate) {
  const DateTime now = SystemClock().Now();
  EXPECT_TRUE(IsValidDateTime(now)) << FormatGeneralDate(now);
  EXPECT_GE(now.year, 2024);
}

}  // namespace
}  // namespace kv
