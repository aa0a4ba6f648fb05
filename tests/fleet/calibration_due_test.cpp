// The due-date rule: each channel's interval (the instrument's limit, else
// the configuration's, per gas first), its state, and the instrument's state
// decided by its latest channel.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "files/ini_file.h"
#include "fleet/calibration_due.h"
#include "fleet/calibration_merge.h"

namespace kv::fleet {
namespace {

const DateTime kNow{2026, 12, 11, 9, 0, 0};

DateTime DaysAgo(int days) { return AddSeconds(kNow, -days * 24LL * 60 * 60); }

ChannelCalibration Channel(int channel, std::string gas, std::optional<int> daysAgo) {
  ChannelCalibration c;
  c.channel = channel;
  c.gas = std::move(gas);
  if (daysAgo) c.calibrated = DaysAgo(*daysAgo);
  return c;
}

const CalibrationDefaults kShopDefaults(IniFile::Parse(
    "[Fleet]\r\nCalibrationDays=180\r\nCalibrationDays.CO=30\r\n"));

struct DueCase {
  const char* name;
  std::vector<ChannelCalibration> channels;
  std::optional<int> instrumentLimit;
  DueState state;
  int decidingChannel;   // -1: none decides
  std::string text;      // StateText of the deciding channel
};

class InstrumentDueTable : public ::testing::TestWithParam<DueCase> {};

TEST_P(InstrumentDueTable, StateAndDecidingChannel) {
  const DueCase& c = GetParam();
  const InstrumentDue due = JudgeInstrument(c.channels, c.instrumentLimit, kShopDefaults, kNow, 14);
  EXPECT_EQ(due.state, c.state);
  ASSERT_EQ(due.deciding.has_value(), c.decidingChannel >= 0);
  if (!due.deciding) return;
  EXPECT_EQ(due.deciding->calibration.channel, c.decidingChannel);
  EXPECT_EQ(StateText(*due.deciding), c.text);
}

ChannelCalibration NotFitted(int channel) {
  ChannelCalibration c = Channel(channel, "", std::nullopt);
  c.fitted = false;
  return c;
}

INSTANTIATE_TEST_SUITE_P(
    Rule, InstrumentDueTable,
    ::testing::Values(
        DueCase{"NeverCalibrated", {Channel(0, "CH4", std::nullopt)}, 90, DueState::Never, 0,
                "never calibrated"},
        DueCase{"CalibratedToday", {Channel(0, "CH4", 0), Channel(1, "OXY", 0)}, 90, DueState::Ok, 0, "ok"},
        DueCase{"OneChannelOverdueOthersNot",
                {Channel(0, "CH4", 10), Channel(1, "OXY", 91), Channel(2, "H2S", 5)},
                90, DueState::Overdue, 1, "overdue"},
        DueCase{"NeverOutranksOverdue", {Channel(0, "CH4", 400), Channel(1, "OXY", std::nullopt)}, 90,
                DueState::Never, 1, "never calibrated"},
        DueCase{"DueWithinTheWindow", {Channel(0, "CH4", 80), Channel(1, "OXY", 10)}, 90,
                DueState::DueSoon, 0, "due within 10 days"},
        DueCase{"LimitZeroTakesTheConfiguration", {Channel(0, "CH4", 100)}, 0, DueState::Ok, 0, "ok"},
        DueCase{"UnknownLimitTakesTheConfiguration", {Channel(0, "CH4", 181)}, std::nullopt,
                DueState::Overdue, 0, "overdue"},
        DueCase{"ConfigurationPerGas", {Channel(0, "CH4", 31), Channel(3, "CO", 31)}, 0,
                DueState::Overdue, 3, "overdue"},
        DueCase{"InstrumentLimitOverPerGas", {Channel(3, "CO", 31)}, 90, DueState::Ok, 3, "ok"},
        DueCase{"EmptySlotsNeverDecide", {NotFitted(4), NotFitted(5)}, 90, DueState::NoInterval, -1, ""}),
    [](const ::testing::TestParamInfo<DueCase>& info) { return std::string(info.param.name); });

TEST(CalibrationDefaults, NoFileGivesNoInterval) {
  const InstrumentDue due = JudgeInstrument({Channel(0, "CH4", 1000)}, 0, CalibrationDefaults(), kNow, 14);
  EXPECT_EQ(due.state, DueState::NoInterval);
}

TEST(CalibrationDefaults, RefusesWhatIsNoPositiveNumber) {
  const CalibrationDefaults defaults(
      IniFile::Parse("[Fleet]\nCalibrationDays=abc\nCalibrationDays.CO=-5\nCalibrationDays.H2S=60\n"));
  EXPECT_EQ(defaults.DaysFor("CO"), 0);
  EXPECT_EQ(defaults.DaysFor("H2S"), 60);
  EXPECT_EQ(defaults.DaysFor("CH4"), 0);
}

TEST(JudgeChannel, DueDateIsTheCalibrationPlusTheInterval) {
  const ChannelDue due = JudgeChannel(Channel(0, "CH4", 0), 90, kNow, 0);
  ASSERT_TRUE(due.due.has_value());
  EXPECT_EQ(*due.due, AddSeconds(kNow, 90 * 24LL * 60 * 60));
  EXPECT_EQ(due.daysLeft, 90);
  // One second past the due date is overdue.
  const ChannelDue late = JudgeChannel(Channel(0, "CH4", 0), 90, AddSeconds(*due.due, 1), 0);
  EXPECT_EQ(late.state, DueState::Overdue);
}

// Where the history's sources meet: a failed channel in a span result does
// not count, and a later calibration replaces an earlier one.
TEST(CalibratedChannels, OnlyStatusZeroCounts) {
  const std::vector<ChannelCalibration> calibrated =
      CalibratedChannels("1  CH4  0; 2  OXY  1; 3  H2S  0; 4  CO   -; 5  ch5  2", kNow);
  ASSERT_EQ(calibrated.size(), 2u);
  EXPECT_EQ(calibrated[0].channel, 0);
  EXPECT_EQ(calibrated[1].gas, "H2S");
}

TEST(MergeLatest, TheLaterDateWinsPerChannel) {
  std::vector<ChannelCalibration> known{Channel(0, "CH4", 100), Channel(1, "OXY", 5)};
  MergeLatest(known, {Channel(0, "CH4", 20), Channel(1, "OXY", 50), Channel(2, "H2S", 1)});
  ASSERT_EQ(known.size(), 3u);
  EXPECT_EQ(*known[0].calibrated, DaysAgo(20));
  EXPECT_EQ(*known[1].calibrated, DaysAgo(5));
  EXPECT_EQ(known[2].gas, "H2S");
}

TEST(ParseDateTime, BothFormsAndNothingElse) {
  EXPECT_EQ(ParseDateTime("2025/11/03 09:15:00"), (DateTime{2025, 11, 3, 9, 15, 0}));
  EXPECT_EQ(ParseDateTime("2025-11-03 09:15:00"), (DateTime{2025, 11, 3, 9, 15, 0}));
  EXPECT_FALSE(ParseDateTime("2025/11-03 09:15:00"));
  EXPECT_FALSE(ParseDateTime("2025/13/03 09:15:00"));
  EXPECT_FALSE(ParseDateTime(""));
}

}  // namespace
}  // namespace kv::fleet
