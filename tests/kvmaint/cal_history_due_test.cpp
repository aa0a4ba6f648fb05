// kvmaint cal-history gives each channel's next due date: the calibration
// date plus the instrument's "Calibration Time Limit" as its latest read in
// the history holds it, else [Fleet] CalibrationDays of KVMaintenance.ini.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kvmaint/harness/inprocess_support.h"

namespace kv::inproc {
namespace {

using ::testing::MatchesRegex;

struct DueCase {
  const char* name;
  int configuredDays;
  bool readFirst;      // a get records the instrument's limit (kvsim: 90 days)
  const char* ch1Due;  // kvsim calibrated its methane channel on 2025/11/03
  const char* ch1State;
};

class CalHistoryDueTest : public SimulatorTest, public ::testing::WithParamInterface<DueCase> {};

TEST_P(CalHistoryDueTest, GivesEachChannelsNextDueDate) {
  const DueCase& c = GetParam();
  std::filesystem::create_directories(dir.File("data"));
  WriteBytes(dir.File("data") + "/KVMaintenance.ini",
             "[Fleet]\r\nCalibrationDays=" + std::to_string(c.configuredDays) + "\r\n");
  if (c.readFirst) {
    ASSERT_EQ(Run({"get"}).exitCode, 0);
  }
  const ProgramResult table = Run({"cal-history"});
  ASSERT_EQ(table.exitCode, 0) << table.err;
  EXPECT_THAT(Lines(table.out).at(1),
              MatchesRegex(std::string("1 +CH4 +2025/11/03 09:15:00 +48 %LEL +50 %LEL  ") + c.ch1Due))
      << table.out;

  const ProgramResult json = Run({"cal-history", "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const std::optional<Json> parsed = ParseJson(json.out);
  ASSERT_TRUE(parsed) << json.out;
  const Json& ch1 = (*parsed)["channels"][0];
  EXPECT_EQ(ch1["next_due"].text, std::string(c.ch1Due).substr(0, 10));
  EXPECT_EQ(ch1["due_state"].text, c.ch1State);
}

INSTANTIATE_TEST_SUITE_P(
    Intervals, CalHistoryDueTest,
    ::testing::Values(DueCase{"ConfiguredDaysAhead", 3650, false, "2035/11/01", "ok"},
                      DueCase{"ConfiguredDaysPassed", 30, false, "2025/12/03 OVERDUE", "overdue"},
                      // The instrument's own 90 days win over the configuration's 3650.
                      DueCase{"InstrumentsLimitFromItsLatestRead", 3650, true, "2026/02/01 OVERDUE", "overdue"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::inproc
