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
    record.SetPIDFullScale(16, 0, 2000.0f);
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
      {{"Warning", 3}, {0, "501", false, "accepts 0 to 500 or *****, ?????, -----"}},
      {{"Warning", 3}, {0, "40", true, "40"}},
      {{"Alarm", 3}, {0, "20", false, "accepts an alarm not below the warning 25"}},
      {{"CATppm2nd"}, {0, "50001", false, "accepts 0 to 50000 or *****, ?????, -----"}},
      {{"SI_", 3}, {0, "810", false, "accepts 200 to 809"}},
      {{"HH_", 1}, {0, "255", true, "255"}},
      {{"GasName", 4}, {0, "H2S", false, "accepts a name not used in another row"}},
      {{"GasName", 5}, {0, "CH4", false, "accepts a name not used in another row"}},
      {{"GasName", 5}, {0, "SO2", true, "SO2"}},
      {{"G1_", 0}, {0, "METHANE", false, "this cell is not editable"}},
      {{"CATOther"}, {0, "IBT", true, "IBT"}},
      {{"LO_fc", 0}, {0, "30", false, "accepts 0.01 to 25.00, held as a whole number (1 to 25)"}},
      {{"LO_fc", 0}, {0, "3", true, "3.00"}},
      {{"LO_fc", 0},
       {0, "2.5", false, "accepts 0.01 to 25.00, held as a whole number (1 to 25); 2.5 would be stored as 2.00"}},
      {{"LA_warn", 30}, {0, "200", true, "200"}},
      // A level the table would round to its step is refused, saying so.
      {{"LA_warn", 30},
       {0, "150", false, "accepts only what it keeps: 150 becomes 200: levels go in steps of 100"}},
      // The ratio is judged alone here; the record check judges the levels against it.
      {{"LA_ratio", 30}, {0, "100", true, "100"}},
      {{"LA_warn", 30}, {0, "300", false, "accepts a 1st level not above the 2nd"}},
      {{"XS_", 3},
       {0, "Tank {3}", false, "accepts up to 16 characters: printable ASCII except {, }, comma and semicolon"}},
      {{"XV_", 1}, {0, "33", false, "accepts 1 to 32"}},
      {{"XV_", 1}, {0, "5", true, "5"}},
      {{"PIDFactor", 16, 0}, {0, "1", true, "1.00"}},
      {{"PIDFactor", 16, 0}, {0, "", false, "needs a value"}},
      {{"PIDFactor", 16, 0}, {0, "*****", false, "needs a value"}},
      {{"PIDFactor", 16, 0}, {0, "0.8", false, "accepts 1.00 to 1.24, held as a whole number (1)"}},
      // Status words of a reading are no levels.
      {{"Warning", 3}, {0, "NORMAL", false, "accepts 0 to 500 or *****, ?????, -----"}},
      {{"Warning", 3}, {0, "*****", true, "*****"}},
      // The catalytic gas is chosen from its list, as the grid offers it.
      {{"GasName", 0}, {0, "XYZ", false, "one of: CH4, HEX, H2, ---"}},
      {{"GasName", 0}, {0, "hex", true, "HEX"}},
      {{"GasName", 0}, {0, "h2", true, "H2"}},
      {{"XZ_", 6}, {0, "J,DOE", false, "accepts up to 16 characters: printable ASCII except {, }, comma and semicolon"}},
      // The options and the channel mapping, as their grids edit them.
      {{"AltRng", 2}, {0, "1", true, "On"}},
      {{"AltRng", 2}, {0, "off", true, "Off"}},
      {{"AltRng", 4}, {0, "1", false, "no editing rule for this setting"}},
      {{"Zero", 1}, {0, "1", false, "no editing rule for this setting"}},
      {{"Zero", 3}, {0, "true", true, "On"}},
      {{"ZeroForce", 3}, {0, "256", false, "accepts 0 to 255"}},
      {{"UG_", 3}, {0, "5", true, "5"}},
      {{"UG_", 3}, {0, "64", false, "accepts 0 to 63"}},
      {{"UG_", 3}, {0, "11", false, "accepts any channels but 1, 2 and 4 together (mask 11 cannot be filed)"}},
      {{"UG_", 6}, {0, "1", false, "accepts channels for a named gas only"}},
      {{"PIDPoint", 16, 0}, {0, "1/10", false, "accepts 1/1 for this FullScale"}},
      {{"PIDName", 16},
       {0, "ibt", false, "accepts up to 3 characters: A-Z, 0-9, '-' and inner blanks"}},
      {{"PIDName", 17}, {0, "IBT", false, "no editing rule for this setting"}},
      {{"Intervals"}, {0, "10", false, "no editing rule for this setting"}},
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
