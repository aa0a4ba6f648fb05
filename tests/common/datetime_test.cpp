#include "common/datetime.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace kv {
namespace {

struct SerialCase {
  DateTime date;
  double serial;
};

TEST(DateTimeTest, SerialDateBothWays) {
  const SerialCase cases[] = {
      {{1899, 12, 30, 0, 0, 0}, 0.0},
      {{1899, 12, 30, 12, 0, 0}, 0.5},
      {{1900, 1, 1, 0, 0, 0}, 2.0},
      {{1900, 3, 1, 0, 0, 0}, 61.0},  // no phantom 1900-02-29
      {{2000, 1, 1, 0, 0, 0}, 36526.0},
      {{2024, 2, 29, 18, 0, 0}, 45351.75},
      // Before the origin the whole part counts back while the time counts forward.
      {{1899, 12, 29, 6, 0, 0}, -1.25},
      {{1899, 9, 20, 0, 0, 0}, -101.0},  // reset value of a calibration date
      {{100, 1, 1, 0, 0, 0}, -657434.0},
      {{9999, 12, 31, 0, 0, 0}, 2958465.0},
  };
  for (const auto& [date, serial] : cases) {
    SCOPED_TRACE(FormatGeneralDate(date));
    EXPECT_DOUBLE_EQ(ToSerialDate(date), serial);
    EXPECT_EQ(FromSerialDate(serial), date);
  }
}

TEST(DateTimeTest, SerialRoundsToTheNearestSecond) {
  const DateTime oneSecondPastNoon{2010, 6, 15, 12, 0, 1};
  EXPECT_EQ(FromSerialDate(ToSerialDate(oneSecondPastNoon)), oneSecondPastNoon);
  // Just short of midnight rolls into the next calendar day, on both sides of the origin.
  EXPECT_EQ(FromSerialDate(0.9999999), (DateTime{1899, 12, 31, 0, 0, 0}));
  EXPECT_EQ(FromSerialDate(-1.9999999), (DateTime{1899, 12, 30, 0, 0, 0}));
  EXPECT_EQ(FromSerialDate(-0.5), (DateTime{1899, 12, 30, 12, 0, 0}));
}

TEST(DateTimeTest, UnusableSerialGivesTheOriginInsteadOfOverflowing) {
  const DateTime origin{1899, 12, 30, 0, 0, 0};
  for (const double serial : {std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(), 1e300, -1e300, -657435.0,
                              2958466.0}) {
    EXPECT_EQ(FromSerialDate(serial), origin) << serial;
  }
  EXPECT_EQ(FromSerialDate(2958465.9999999), (DateTime{9999, 12, 31, 23, 59, 59}));
}

TEST(DateTimeTest, Validity) {
  struct Case {
    DateTime date;
    bool valid;
  };
  const Case cases[] = {
      {{2024, 2, 29, 0, 0, 0}, true},   {{2023, 2, 29, 0, 0, 0}, false},
      {{1900, 2, 29, 0, 0, 0}, false},  {{2000, 2, 29, 0, 0, 0}, true},
      {{2023, 4, 31, 0, 0, 0}, false},  {{2023, 12, 31, 23, 59, 59}, true},
      {{2023, 0, 1, 0, 0, 0}, false},   {{2023, 13, 1, 0, 0, 0}, false},
      {{2023, 1, 0, 0, 0, 0}, false},   {{2023, 1, 1, 24, 0, 0}, false},
      {{2023, 1, 1, 0, 60, 0}, false},  {{2023, 1, 1, 0, 0, 60}, false},
      {{2023, 1, 1, -1, 0, 0}, false},  {{99, 12, 31, 0, 0, 0}, false},
      {{100, 1, 1, 0, 0, 0}, true},     {{10000, 1, 1, 0, 0, 0}, false},
  };
  for (const auto& [date, valid] : cases) {
    EXPECT_EQ(IsValidDateTime(date), valid) << FormatGeneralDate(date);
  }
}

TEST(DateTimeTest, Formats) {
  const DateTime morning{2024, 3, 5, 7, 8, 9};
  EXPECT_EQ(FormatGeneralDate(morning), "2024/03/05 07:08:09");
  EXPECT_EQ(FormatTimeOfDay(morning), "07:08:09");
  EXPECT_EQ(FormatTimeOfDay({2024, 3, 5, 23, 0, 0}), "23:00:00");  // 24-hour clock

  struct ElapsedCase {
    long long seconds;
    const char* text;
  };
  const ElapsedCase elapsed[] = {
      {0, "00:00:00"},       {75, "00:01:15"},        {3599, "00:59:59"},
      {3600, "01:00:00"},    {90001, "25:00:01"},     {-75, "00:01:15"},
      {LLONG_MIN, "2562047788015215:30:08"},
  };
  for (const auto& [seconds, text] : elapsed) {
    EXPECT_EQ(FormatElapsed(seconds), text) << seconds;
  }
}

TEST(DateTimeTest, SecondsBetweenAndAddSecondsAgree) {
  struct Case {
    DateTime from;
    long long seconds;
    DateTime to;
  };
  const Case cases[] = {
      {{2024, 1, 1, 0, 0, 0}, 0, {2024, 1, 1, 0, 0, 0}},
      {{2023, 12, 31, 23, 59, 50}, 15, {2024, 1, 1, 0, 0, 5}},
      {{2024, 2, 28, 12, 0, 0}, 86400, {2024, 2, 29, 12, 0, 0}},
      {{2023, 2, 28, 12, 0, 0}, 86400, {2023, 3, 1, 12, 0, 0}},
      {{2024, 3, 1, 0, 0, 0}, -1, {2024, 2, 29, 23, 59, 59}},
      {{1899, 12, 30, 0, 0, 0}, -101LL * 86400, {1899, 9, 20, 0, 0, 0}},
      {{1960, 1, 1, 0, 0, 0}, 366LL * 86400, {1961, 1, 1, 0, 0, 0}},
  };
  for (const auto& [from, seconds, to] : cases) {
    SCOPED_TRACE(FormatGeneralDate(from));
    EXPECT_EQ(AddSeconds(from, seconds), to);
    EXPECT_EQ(SecondsBetween(from, to), seconds);
    EXPECT_EQ(SecondsBetween(to, from), -seconds);
  }
}

TEST(DateTimeTest, AddSecondsSaturatesInsteadOfOverflowing) {
  const DateTime now{2024, 6, 1, 12, 0, 0};
  EXPECT_EQ(AddSeconds(now, LLONG_MAX), (DateTime{9999, 12, 31, 23, 59, 59}));
  EXPECT_EQ(AddSeconds(now, LLONG_MIN), (DateTime{1, 1, 1, 0, 0, 0}));
  // Out-of-range fields are normalised into a real date.
  EXPECT_EQ(AddSeconds({2024, 13, 1, 0, 0, 0}, 0), (DateTime{2025, 1, 1, 0, 0, 0}));
  EXPECT_EQ(AddSeconds({2024, 1, 1, 0, 0, 90}, 0), (DateTime{2024, 1, 1, 0, 1, 30}));
}

}  // namespace
}  // namespace kv
