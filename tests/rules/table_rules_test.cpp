#include "rules/table_rules.h"

#include <gtest/gtest.h>

#include "rules_expect.h"

namespace kv::rules {
namespace {

const ConversionRowTexts kRow = {"1", "ABC", "Long Name", "1.00", "100", "200", "5000", "Normal"};

struct ConversionCase {
  int column;
  EditCase edit;  // row unused
  ConversionRowTexts row = kRow;
};

ConversionRowTexts WithRatio(const char* ratio) {
  ConversionRowTexts row = kRow;
  row[kConvRatio] = ratio;
  return row;
}

TEST(UserConversionCheck, ChecksEachCellAgainstItsRow) {
  const ConversionCase cases[] = {
      {kConvName, {0, "", true, "---"}},
      {kConvLongName, {0, "*****", true, "--------------------"}},
      {kConvFactor, {0, "", false, "needs a value"}},
      {kConvVolt, {0, "", false, "needs a value"}},
      {kConvName, {0, "ABCD", false, "accepts up to 3 characters: A-Z, 0-9, '-' and inner blanks"}},
      {kConvFactor, {0, "30", false, "accepts 0.01 to 25.00, held as a whole number (1 to 25)"}},
      {kConvFactor, {0, "0", false, "accepts 0.01 to 25.00, held as a whole number (1 to 25)"}},
      {kConvFactor, {0, "3", true, "3.00"}},
      // The factor is held as a whole number: a fraction is refused, never rounded.
      {kConvFactor, {0, "2.5", false, "accepts 0.01 to 25.00, held as a whole number (1 to 25); 2.5 would be stored as 2.00"}},
      // Levels: steps of 100 below a ratio of 25000, halves to the even step.
      {kConvWarn, {0, "150", true, "200"}},
      {kConvWarn, {0, "250", true, "200"}},
      {kConvWarn, {0, "260", false, "accepts a 1st level not above the 2nd"}},
      {kConvAlarm, {0, "350", true, "400"}},
      {kConvAlarm, {0, "5049", true, "5000"}},
      {kConvAlarm, {0, "5100", false, "accepts 0 to 5000"}},
      {kConvAlarm, {0, "abc", true, "*****"}},
      {kConvAlarm, {0, "375", true, "500"}, WithRatio("30000")},  // steps of 250 from 25000 on
      {kConvAlarm, {0, "625", true, "500"}, WithRatio("30000")},
      {kConvAlarm, {0, "50300", false, "accepts 0 to 50000"}, WithRatio("150000")},
      {kConvRatio, {0, "150000", true, "150000"}},
      {kConvRatio, {0, "150001", false, "accepts 0 to 150000, above 50000 in steps of 100"}},
      {kConvRatio, {0, "0150000", false, "accepts 0 to 150000, above 50000 in steps of 100"}},  // seven characters
      {kConvRatio, {0, "56100", true, "56100"}},
      {kConvRatio,
       {0, "56177", false, "accepts 0 to 150000, above 50000 in steps of 100; 56177 would be stored as 56200"}},
      {kConvVolt, {0, "1.3", true, "ME"}},
      {kConvVolt, {0, "me", true, "ME"}},
      {kConvVolt, {0, "normal", true, "Normal"}},
      {kConvVolt, {0, "2.4", true, "Normal"}},
      {kConvVolt, {0, "fast", false, "one of: ME, Normal"}},
  };
  for (const ConversionCase& c : cases) {
    ConversionRowTexts row = c.row;
    row[static_cast<std::size_t>(c.column)] = c.edit.text;
    ExpectEdit(CheckUserConversionCell(3, row, c.column), c.edit,
               "column " + std::to_string(c.column));
  }
}

TEST(UserConversionCheck, SaysWhatALevelRoundedToItsStepBecomes) {
  ConversionRowTexts row = kRow;
  row[kConvWarn] = "150";
  const EditCheck rounded = CheckUserConversionCell(1, row, kConvWarn);
  ASSERT_TRUE(rounded.accepted);
  EXPECT_EQ(rounded.adjusted, "150 becomes 200: levels go in steps of 100");
  EXPECT_EQ(CheckUserConversionCell(1, kRow, kConvWarn).adjusted, "") << "100 is on its step";
  row = WithRatio("30000");
  row[kConvAlarm] = "375";
  EXPECT_EQ(CheckUserConversionCell(1, row, kConvAlarm).adjusted,
            "375 becomes 500: levels go in steps of 250");
}

TEST(UserConversionEdit, ChecksNamesAndTheFactor) {
  const EditCase cases[] = {
      {kConvName, "NH3", true, "NH3"},
      {kConvName, "NH3X", false, "accepts up to 3 characters: A-Z, 0-9, '-' and inner blanks"},
      {kConvLongName, "Ammonia (NH3)", true, "Ammonia (NH3)"},
      {kConvFactor, "30", false, "accepts 0.01 to 25.00, held as a whole number (1 to 25)"},
      {kConvFactor, "-1", false, "accepts 0.01 to 25.00, held as a whole number (1 to 25)"},
      {kConvFactor, "x", false, "accepts 0.01 to 25.00, held as a whole number (1 to 25)"},
      {kConvFactor, "1.25", false, "accepts 0.01 to 25.00, held as a whole number (1 to 25); 1.25 would be stored as 1.00"},
      {kConvRatio, "anything", true, "anything"},
  };
  for (const EditCase& c : cases)
    ExpectEdit(CheckUserConversionEdit(2, c.row, c.text), c, "column");
  EXPECT_EQ(CheckUserConversionEdit(2, kConvName, "A").setting, (SettingRef{"LO_name", 1}));
  EXPECT_EQ(CheckUserConversionEdit(5, kConvFactor, "1").setting, (SettingRef{"LO_fc", 4}));
  EXPECT_EQ(CheckUserConversionEdit(1, kConvWarn, "1").setting, (SettingRef{"LA_warn", 30}));
  EXPECT_EQ(CheckUserConversionEdit(5, kConvVolt, "ME").setting, (SettingRef{"LA_volt", 34}));
  EXPECT_FALSE(CheckUserConversionEdit(6, kConvName, "A").accepted);
  EXPECT_FALSE(CheckUserConversionEdit(1, 0, "1").accepted);
}

TEST(ListNames, AcceptSixteenPrintableCharacters) {
  struct Case {
    NameList list;
    int entry;
    const char* text;
    bool accepted;
  };
  const Case cases[] = {
      {NameList::Station, 0, "Pump house 7 (N)", true},
      {NameList::Station, 0, "Pump house 7 (N)x", false},  // 17 characters
      {NameList::Station, 5, "Tank {3}", false},
      {NameList::User, 31, "O'Neil J.", true},
      {NameList::User, 31, "O'Neil, J.", false},  // a comma splits the line's field
      {NameList::User, 31, "semi;colon", false},  // a semicolon ends a file's line
      {NameList::User, 0, "", true},
      {NameList::Station, 127, "END", true},
      {NameList::Station, 128, "END", false},
      {NameList::User, 32, "END", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckListName(c.list, c.entry, c.text).accepted, c.accepted)
        << c.entry << " " << c.text;
  }
  EXPECT_EQ(CheckListName(NameList::Station, 4, "A").setting, (SettingRef{"XS_", 4}));
  EXPECT_EQ(CheckListName(NameList::User, 4, "A").setting, (SettingRef{"XZ_", 4}));
}

TEST(ListSelection, StoresTheClickedEntrysNumber) {
  const EditCheck station = SelectListEntry(NameList::Station, 127);
  ASSERT_TRUE(station.accepted);
  EXPECT_EQ(station.number, 128);
  EXPECT_EQ(station.setting, (SettingRef{"XV_", 0}));
  const EditCheck user = SelectListEntry(NameList::User, 0);
  EXPECT_EQ(user.number, 1);
  EXPECT_EQ(user.setting, (SettingRef{"XV_", 1}));
  EXPECT_FALSE(SelectListEntry(NameList::User, 32).accepted);
  EXPECT_FALSE(SelectListEntry(NameList::Station, -1).accepted);
}

}  // namespace
}  // namespace kv::rules
