#include "rules/other_setting_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "model/instrument_settings.h"
#include "rules_expect.h"

namespace kv::rules {
namespace {

TEST(OtherSettingRules, ValidateEachRowsEntry) {
  const EditCase cases[] = {
      // Free rows.
      {6, "365", true, "365"},
      {6, "366", false, "accepts 0 to 365"},
      {6, "abc", false, "accepts 0 to 365"},
      {6, "-1", false, "accepts 0 to 365"},
      {6, "12.5", false, "accepts 0 to 365"},
      {6, " 007 ", true, "7"},
      {14, "255", true, "255"},
      {14, "300", false, "accepts 0 to 255"},
      {15, "15", true, "15"},
      {15, "16", false, "accepts 0 to 15"},
      {1, "KV-0012 *abc", true, "KV-0012 *abc"},
      {1, "KV-0012 *abcd", false,
       "accepts up to 12 characters: A-Z, a-z, 0-9, '*', '-' and blanks"},
      {1, "KV.12", false, "accepts up to 12 characters: A-Z, a-z, 0-9, '*', '-' and blanks"},
      {23, "8462", true, "8462"},
      {23, "846", false, "accepts exactly 4 digits"},
      {23, "84621", false, "accepts exactly 4 digits"},
      {23, "84a2", false, "accepts exactly 4 digits"},
      // Empty entries are kept.
      {6, "", true, ""},
      {14, "   ", true, "   "},
      {23, "", true, ""},
      {11, "", true, ""},
      // Choice rows: an item of the row's list, shown as listed.
      {4, "on", true, "On"},
      {4, "maybe", false, "one of: Off, On"},
      {11, "l-ll", true, "L-LL"},
      {11, "L-L", false, "one of: H-L, L-LL, H-HH"},
      {10, "vol% only", true, "vol% ONLY"},
      {18, "45", true, "45"},
      {18, "40", false, "one of: 30, 45, 60"},
      {2, "Reset", true, "Reset"},
      {9, "GERMAN", true, "GERMAN"},
      {17, "LC & BH", true, "LC & BH"},
      {3, "LIGHT & BEEP", true, "LIGHT & BEEP"},
      {8, "Must Calibrate", true, "Must Calibrate"},
      // No setting outside rows 1..24.
      {0, "1", false, "no setting in this row"},
      {25, "1", false, "no setting in this row"},
  };
  for (const EditCase& c : cases) ExpectEdit(CheckOtherSetting(c.row, c.text), c);
}

TEST(OtherSettingRules, GiveTheNumberOrTheChoiceIndex) {
  EXPECT_EQ(CheckOtherSetting(14, "120").number, 120);
  EXPECT_EQ(CheckOtherSetting(11, "H-HH").number, 2);
  EXPECT_EQ(CheckOtherSetting(9, "FRENCH").number, 2);
  EXPECT_FALSE(CheckOtherSetting(1, "ABC").number.has_value());
}

TEST(OtherSettingRules, RowsLieInRowOrderAndNameRecordSettings) {
  ASSERT_EQ(OtherSettingRules().size(), 24U);
  for (int row = 1; row < kOtherSettingRows; ++row) {
    const OtherSettingRule* rule = OtherSettingRow(row);
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->row, row);
    EXPECT_EQ(OtherSettingBySetting(rule->setting), rule) << rule->setting;
    EXPECT_EQ(CheckOtherSetting(row, "").setting.name, rule->setting);
    bool known = false;
    for (const SettingInfo& setting : AllSettings()) known = known || setting.name == rule->setting;
    EXPECT_TRUE(known) << rule->setting << " is not a setting of the record";
  }
  EXPECT_EQ(OtherSettingBySetting("Intervals"), nullptr);
  EXPECT_TRUE(OtherSettingRow(6)->flagOnAccept);
  EXPECT_FALSE(OtherSettingRow(14)->flagOnAccept);
}

TEST(OtherSettingRules, FilterKeysOfTheManufactureNumberAndPasswordRows) {
  struct Case {
    int row;
    char key;
    bool passes;
  };
  const Case cases[] = {
      {1, 'a', true},   {1, '*', true},  {1, '\b', true},  {1, '.', false},
      {1, '/', false},  {23, '7', true}, {23, 'a', false}, {23, '\b', false},
      {23, ' ', false}, {14, '.', true}, {2, 'x', true},  // rows without a filter take every key
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AcceptsOtherSettingKey(c.row, c.key), c.passes)
        << "row " << c.row << " key " << int(c.key);
  }
}

TEST(OtherRowValue, IsTheMatchingItemOrTheLastOne) {
  struct Case {
    int row;
    const char* text;
    int value;
  };
  const Case cases[] = {
      {4, "OFF", 0},       {4, " off ", 0},      {4, "On", 1},         {4, "anything", 1},
      {10, "PPM ONLY", 0}, {10, "%lel only", 1}, {10, "VOL% ONLY", 2}, {10, "CHANGE OK", 3},
      {10, "", 3},         {11, "H-L", 0},       {11, "L-LL", 1},      {11, "H-HH", 2},
      {11, "??", 2},       {18, "30", 0},        {18, "90", 2},        {2, "Latch", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(OtherRowValue(c.row, c.text), c.value) << c.row << " " << c.text;
}

}  // namespace
}  // namespace kv::rules
