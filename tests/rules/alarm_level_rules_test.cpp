#include "rules/alarm_level_rules.h"

#include <gtest/gtest.h>

#include <functional>

#include "rules_expect.h"

namespace kv::rules {
namespace {

constexpr ChannelLevels kCarbonMonoxide{3, 500, 0, 25, 50, 0};
constexpr ChannelLevels kHydrogenSulphide{2, 100, 1, 10, 15, 0};
constexpr ChannelLevels kNoFullScale{6, -101, 0, -101, -101, 0};
constexpr ChannelLevels kNoAlarmYet{3, 500, 0, 25, -101, 0};
// The alarm as the record holds it: the float nearest 61.3.
constexpr ChannelLevels kEqualFloatLevels{2, 100, 1, 10, static_cast<double>(61.3F), 0};

ChannelLevels Oxygen(OxygenPattern pattern, double warning, double alarm) {
  return {kOxygenChannel, 25, 1, warning, alarm, static_cast<int>(pattern)};
}

struct LevelCase {
  ChannelLevels channel;
  AlarmLevel level;
  EditCase edit;  // row unused
};

TEST(AlarmLevelRules, AcceptLevelsInTheChannelsScaleAndOrder) {
  using L = AlarmLevel;
  const ChannelLevels hl = Oxygen(OxygenPattern::HighLow, 23.5, 18);
  const ChannelLevels ll = Oxygen(OxygenPattern::LowLowLow, 19.5, 18);
  const ChannelLevels hh = Oxygen(OxygenPattern::HighHighHigh, 23.5, 25);
  const std::string high = "accepts a high level above 20.9";
  const std::string low = "accepts a low level below 20.9";
  const std::string coRange = "accepts 0 to 500 or *****, ?????, -----";
  const std::string h2sRange = "accepts 0.0 to 100.0 in steps of 0.1 or *****, ?????, -----";
  const LevelCase cases[] = {
      {kCarbonMonoxide, L::Warning, {0, "25", true, "25"}},
      {kCarbonMonoxide, L::Warning, {0, "501", false, coRange}},  // above full scale
      {kCarbonMonoxide, L::Twa, {0, "500", true, "500"}},
      {kCarbonMonoxide, L::Stel, {0, "-5", false, coRange}},
      {kCarbonMonoxide, L::Span, {0, "12.5", false, coRange}},  // off resolution
      {kCarbonMonoxide, L::Span, {0, "100", true, "100"}},
      {kCarbonMonoxide, L::Warning, {0, "60", false, "accepts a warning not above the alarm 50"}},
      {kCarbonMonoxide, L::Alarm, {0, "20", false, "accepts an alarm not below the warning 25"}},
      {kCarbonMonoxide, L::Alarm, {0, "25", true, "25"}},
      // A typed level equal to the stored float one is not above it.
      {kEqualFloatLevels, L::Warning, {0, "61.3", true, "61.3"}},
      {kNoAlarmYet, L::Warning, {0, "400", true, "400"}},  // no order against a code
      {kHydrogenSulphide, L::Warning, {0, "10.5", true, "10.5"}},
      {kHydrogenSulphide, L::Warning, {0, "10", true, "10.0"}},
      {kHydrogenSulphide, L::Warning, {0, "10.55", false, h2sRange}},
      {kHydrogenSulphide, L::Stel, {0, "100.1", false, h2sRange}},
      // Special codes, by word or by number.
      {kCarbonMonoxide, L::Warning, {0, "-----", true, "-----"}},
      {kCarbonMonoxide, L::Alarm, {0, "*****", true, "*****"}},
      {kCarbonMonoxide, L::Twa, {0, "-101", true, "-----"}},
      {kCarbonMonoxide, L::Twa, {0, "-121", true, "*****"}},
      // A reading's status words and codes are no levels: the instrument
      // would hold 0.
      {kCarbonMonoxide, L::Warning, {0, "NORMAL", false, coRange}},
      {kCarbonMonoxide, L::Stel, {0, "normal", false, coRange}},
      {kCarbonMonoxide, L::Warning, {0, "ALARM", false, coRange}},
      {kCarbonMonoxide, L::Warning, {0, "OVER", false, coRange}},
      {kCarbonMonoxide, L::Warning, {0, "-104", false, coRange}},
      {kCarbonMonoxide, L::Twa, {0, "-110", false, coRange}},
      {kCarbonMonoxide, L::Twa, {0, "-111", false, coRange}},
      {kNoFullScale,
       L::Warning,
       {0, "10", false, "accepts only *****, ?????, -----: the channel has no full scale"}},
      {kNoFullScale, L::Warning, {0, "?????", true, "?????"}},
      // Oxygen H-L: the warning sounds above fresh air, the alarm below it.
      {hl, L::Warning, {0, "23.0", true, "23.0"}},
      {hl, L::Warning, {0, "19.5", false, high}},
      {hl, L::Alarm, {0, "19.5", true, "19.5"}},
      {hl, L::Alarm, {0, "20.9", false, low}},
      // L-LL: both below fresh air, the alarm not above the warning.
      {ll, L::Warning, {0, "19.0", true, "19.0"}},
      {ll, L::Warning, {0, "17.5", false, "accepts a warning not below the alarm 18.0"}},
      {ll, L::Alarm, {0, "19.6", false, "accepts an alarm not above the warning 19.5"}},
      {ll, L::Warning, {0, "23.5", false, low}},
      // H-HH: both above fresh air, the alarm not below the warning.
      {hh, L::Warning, {0, "24.0", true, "24.0"}},
      {hh, L::Warning, {0, "19.5", false, high}},
      {hh, L::Alarm, {0, "23.0", false, "accepts an alarm not below the warning 23.5"}},
      {hh, L::Stel, {0, "19.0", true, "19.0"}},
  };
  for (const LevelCase& c : cases) {
    ExpectEdit(CheckAlarmLevel(c.channel, c.level, c.edit.text), c.edit,
               "channel " + std::to_string(c.channel.channel) + " level " +
                   std::to_string(static_cast<int>(c.level)));
  }
}

TEST(AlarmLevelRules, SpecialChoicesAreTheWordsOfTheirCodes) {
  const ChoiceItems words = SpecialLevelChoices();
  ASSERT_EQ(words.size(), SpecialLevelCodes().size());
  for (std::size_t i = 0; i < words.size(); ++i) {
    const EditCheck check = CheckAlarmLevel(kCarbonMonoxide, AlarmLevel::Warning, words[i]);
    ASSERT_TRUE(check.accepted) << words[i];
    EXPECT_EQ(check.number, SpecialLevelCodes()[i]) << words[i];
  }
}

class AlarmLevelRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(record.SetGasFullScale(1, 25.0f) && record.SetGasPoint(1, 1));
    ASSERT_TRUE(record.SetWarning(1, 19.5f) && record.SetAlarm(1, 18.0f));
    ASSERT_TRUE(record.SetRatio(0, 50000.0f));
    record.SetAlarmO2(static_cast<Integer>(OxygenPattern::LowLowLow));
    SetRatioChannels(record);
    record.ClearChangeFlags();
  }
  clsInstrument record;
};

TEST_F(AlarmLevelRecordTest, ReadsTheOxygenPatternFromTheRecord) {
  EXPECT_FALSE(CheckAlarmLevel(record, 1, AlarmLevel::Warning, "23.5").accepted);
  record.SetAlarmO2(static_cast<Integer>(OxygenPattern::HighLow));
  EXPECT_TRUE(CheckAlarmLevel(record, 1, AlarmLevel::Warning, "23.5").accepted);
  EXPECT_TRUE(CheckAlarmLevel(record, 7, AlarmLevel::Alarm, "50000").accepted);
  EXPECT_FALSE(CheckAlarmLevel(record, 8, AlarmLevel::Warning, "5.01").accepted);
  EXPECT_FALSE(CheckAlarmLevel(record, 7, AlarmLevel::Stel, "10").accepted);
}

TEST_F(AlarmLevelRecordTest, AnEditChangesExactlyTheSettingItNames) {
  using Flag = std::function<bool(const clsInstrument&)>;
  using R = const clsInstrument&;
  struct Case {
    int channel;
    AlarmLevel level;
    SettingRef setting;
    Flag flag;
  };
  const Case cases[] = {
      {0, AlarmLevel::Warning, {"Warning", 0}, [](R r) { return r.Change_Warn(0); }},
      {4, AlarmLevel::Alarm, {"Alarm", 4}, [](R r) { return r.Change_Alarm(4); }},
      {2, AlarmLevel::Stel, {"Stel", 2}, [](R r) { return r.Change_Stel(2); }},
      {6, AlarmLevel::Twa, {"Twa", 6}, [](R r) { return r.Change_Twa(6); }},
      {3, AlarmLevel::Span, {"AutoCalib", 3}, [](R r) { return r.Change_AutoCal(3); }},
      {7, AlarmLevel::Warning, {"CATppm1st"}, [](R r) { return r.Change_CATppm1(); }},
      {7, AlarmLevel::Alarm, {"CATppm2nd"}, [](R r) { return r.Change_CATppm2(); }},
      {8, AlarmLevel::Warning, {"CATvol1st"}, [](R r) { return r.Change_CATvol1(); }},
      {8, AlarmLevel::Alarm, {"CATvol2nd"}, [](R r) { return r.Change_CATvol2(); }},
  };
  // Every flag an alarm-level edit could raise.
  const auto raised = [](const clsInstrument& r) {
    int count = r.Change_CATppm1() + r.Change_CATppm2() + r.Change_CATvol1() + r.Change_CATvol2();
    for (int ch = 0; ch < kChannelRecords; ++ch) {
      count += r.Change_Warn(ch) + r.Change_Alarm(ch) + r.Change_Stel(ch) + r.Change_Twa(ch) +
               r.Change_AutoCal(ch);
    }
    return count;
  };
  for (const Case& c : cases) {
    clsInstrument edited = record;
    EXPECT_EQ(AlarmLevelSetting(c.channel, c.level), c.setting) << c.setting.name;
    ASSERT_TRUE(ApplyAlarmLevel(edited, c.channel, c.level, 2.0)) << c.setting.name;
    EXPECT_TRUE(c.flag(edited)) << c.setting.name;
    EXPECT_EQ(raised(edited), 1) << c.setting.name;
  }
  EXPECT_EQ(AlarmLevelSetting(8, AlarmLevel::Span), SettingRef{});
  EXPECT_FALSE(ApplyAlarmLevel(record, 8, AlarmLevel::Span, 1.0));
  EXPECT_FALSE(ApplyAlarmLevel(record, 9, AlarmLevel::Warning, 1.0));
}

}  // namespace
}  // namespace kv::rules
