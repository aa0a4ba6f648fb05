#include "rules/setting_rules.h"

#include <gtest/gtest.h>

#include "rules_expect.h"

namespace kv::rules {
namespace {

class SettingRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(record.SetGasFullScale(3, 500.0f) && record.SetWarning(3, 25.0f) &&
                record.SetAlarm(3, 50.0f));
    ASSERT_TRUE(record.SetGasName(0, "CH4") && record.SetGasName(4, "NH3"));
    ASSERT_TRUE(record.SetRatio(0, 50000.0f));
    SetRatioChannels(record);
    ASSERT_TRUE(record.SetLA_ratio(30, 5000.0f) && record.SetLA_alarm(30, 200.0f) &&
                record.SetLA_warn(30, 100.0f) && record.SetLO_fc(0, 1));
    record.SetPIDFullScale(16, 0, 1000.0f);
    record.SetPIDPoint(16, 0, 0);
  }
  clsInstrument record;
};

TEST_F(SettingRulesTest, JudgeANamedSettingByTheRuleOfItsCell) {
  struct Case {
    SettingRef setting;
    EditCase edit;  // row unused
  };
  const Case cases[] = {
      {{"LcdBackLight"}, {0, "300", false, "accepts 0 to 255"}},
      {{"AlarmO2"}, {0, "h-hh", true, "H-HH"}},
      {{"Warning", 3}, {0, "501", false, "accepts 0 to 500 or a special code"}},
      {{"Warning", 3}, {0, "40", true, "40"}},
      {{"Alarm", 3}, {0, "20", false, "accepts an alarm not below the warning 25"}},
      {{"CATppm2nd"}, {0, "50001", false, "accepts 0 to 50000 or a special code"}},
      {{"SI_", 3}, {0, "810", false, "accepts 200 to 809"}},
      {{"HH_", 1}, {0, "255", true, "255"}},
      {{"GasName", 4}, {0, "H2S", false, "accepts a name not used in another row"}},
      {{"GasName", 5}, {0, "CH4", false, "accepts a name not used in another row"}},
      {{"GasName", 5}, {0, "SO2", true, "SO2"}},
      {{"G1_", 0}, {0, "METHANE", false, "this cell is not editable"}},
      {{"CATOther"}, {0, "IBT", true, "IBT"}},
      {{"LO_fc", 0}, {0, "30", false, "accepts 0.01 to 25.00"}},
      {{"LO_fc", 0}, {0, "2.5", true, "2.50"}},
      {{"LA_warn", 30}, {0, "150", true, "200"}},
      {{"LA_warn", 30}, {0, "300", false, "accepts a 1st level not above the 2nd"}},
      {{"XS_", 3},
       {0, "Tank {3}", false, "accepts up to 16 characters: printable ASCII except { and }"}},
      {{"XV_", 1}, {0, "33", false, "accepts 1 to 32"}},
      {{"XV_", 1}, {0, "5", true, "5"}},
      {{"PIDFactor", 16, 0}, {0, "0.6", true, "0.60"}},
      {{"PIDFactor", 16, 0}, {0, "0.8", false, "accepts 0.50 to 0.74"}},
      {{"PIDPoint", 16, 0}, {0, "1/10", false, "accepts 1/1 for this FullScale"}},
      {{"PIDName", 16},
       {0, "ibt", false, "accepts up to 3 characters: A-Z, 0-9, '-' and inner blanks"}},
      {{"PIDName", 17}, {0, "IBT", false, "no editing rule for this setting"}},
      {{"Intervals"}, {0, "10", false, "no editing rule for this setting"}},
      {{"AltRng", 2}, {0, "1", false, "no editing rule for this setting"}},
  };
  for (const Case& c : cases) {
    const EditCheck check = CheckSettingEdit(record, c.setting, c.edit.text);
    ExpectEdit(check, c.edit,
               std::string(c.setting.name) + "(" + std::to_string(c.setting.index) + ")");
    if (check.accepted) {
      EXPECT_EQ(check.setting, c.setting) << c.setting.name;
    }
  }
}

}  // namespace
}  // namespace kv::rules
