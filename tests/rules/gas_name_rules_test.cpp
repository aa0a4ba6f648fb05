#include "rules/gas_name_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "rules_expect.h"

namespace kv::rules {
namespace {

// Column 1 as a freshly filled grid shows it: the catalytic gas, the fixed
// sensors, two optional sensors and an empty slot.
const GasNames kNames = {"CH4", "OXY", "H2S", "CO ", "NH3", "SO2", ""};

struct GasNameCase {
  int column;
  EditCase edit;
};

TEST(GasNameRules, ValidateNamesLongNamesAndRatios) {
  const std::string names3 = "accepts up to 3 characters: A-Z, 0-9, '-' and inner blanks";
  const std::string names20 = "accepts up to 20 characters: printable ASCII except {, }, comma and semicolon";
  const std::string unique = "accepts a name not used in another row";
  const GasNameCase cases[] = {
      {1, {7, "C2H", true, "C2H"}},
      {1, {7, "C2H4", false, names3}},  // four letters
      {1, {7, "c2h", false, names3}},   // lower case
      {1, {7, "NH3", false, unique}},   // row 5 has it
      {1, {7, "OXY", false, unique}},   // a fixed sensor's name
      {1, {7, "CO", false, unique}},    // "CO " with its blank is the same name
      {1, {5, "NH3", true, "NH3"}},     // its own row does not count
      {1, {1, "H2 ", true, "H2"}},  // the instrument keeps it without the blank
      {4, {1, "CH4", false, unique}},  // the Other gas differs from every name, its row's too
      {4, {1, "IBT", true, "IBT"}},
      {2, {5, "Ammonia (NH3) gas", true, "Ammonia (NH3) gas"}},
      {2, {5, "ABCDEFGHIJKLMNOPQRSTU", false, names20}},  // 21 characters
      {2, {5, "ABCDEFGHIJKLMNOPQRST", true, "ABCDEFGHIJKLMNOPQRST"}},
      {5, {1, "Isobutane {C4H10}", false, names20}},
      {6, {1, "50000", true, "50000"}},
      {6, {1, "50001", false, "accepts 0 to 50000"}},
      {6, {1, "abc", false, "accepts 0 to 50000"}},
      // Empty entries are stored.
      {1, {6, "", true, ""}},
      {2, {6, "", true, ""}},
      {6, {1, "", true, ""}},
      // Cells without a setting of their own.
      {1, {2, "O2", false, "this cell is not editable"}},
      {2, {3, "X", false, "this cell is not editable"}},
      {3, {5, "100", false, "this cell is not editable"}},
      {2, {1, "METHANE", false, "this cell is not editable"}},
      {3, {1, "100", false, "this cell is not editable"}},
  };
  for (const GasNameCase& c : cases) {
    ExpectEdit(CheckGasNameCell(kNames, c.edit.row, c.column, c.edit.text), c.edit,
               "column " + std::to_string(c.column));
  }
}

TEST(GasNameRules, NameTheSettingOfEachEditableCell) {
  struct Case {
    int row, column;
    SettingRef setting;
  };
  const Case cases[] = {
      {1, 1, {"GasName", 0}}, {1, 4, {"CATOther"}},   {1, 5, {"G1_", 1}}, {1, 6, {"FL_", 1}},
      {5, 1, {"GasName", 4}}, {7, 1, {"GasName", 6}}, {5, 2, {"G1_", 2}}, {7, 2, {"G1_", 4}},
      {1, 2, {"G1_", 0}},     {1, 3, {"FL_", 0}},     {2, 1, {}},         {6, 3, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GasNameSetting(c.row, c.column), c.setting) << c.row << "," << c.column;
  }
}

TEST(GasNameRules, OfferTheCatalyticAndPidNames) {
  const std::vector<std::string> pidNames = {"IBT", "BNZ", "TOL"};
  EXPECT_EQ(GasNameChoices(1, 1, 0, "IBT", pidNames), SplitChoices("CH4|HEX|H2 |IBT"));
  EXPECT_EQ(GasNameChoices(6, 1, 5, "IBT", pidNames), pidNames);
  EXPECT_TRUE(GasNameChoices(6, 1, 4, "IBT", pidNames).empty());  // infrared: typed freely
  EXPECT_TRUE(GasNameChoices(1, 4, 0, "IBT", pidNames).empty());
}

TEST(GasNameRules, TakeThePidNamesOfAllSeventeenEntries) {
  clsInstrument record;
  record.SetPIDName(16, "TOL");
  record.SetPIDLongName(16, "TOLUENE");
  const ChoiceItems names = PidNamesOf(record);
  ASSERT_EQ(names.size(), 17U);
  EXPECT_EQ(names.back(), "TOL");
  const std::optional<GasNameFill> fill =
      FillAfterGasName(5, "TOL", {}, names, PidLongNamesOf(record));
  ASSERT_TRUE(fill.has_value());
  EXPECT_EQ(fill->longName, "TOLUENE");
}

TEST(GasNameRules, FillLongNameAndRatioFromTheChosenGas) {
  const OtherGasTexts other{"IBT", "ISOBUTANE", "19000"};
  const std::vector<std::string> pidNames = {"IBT", "BNZ"};
  const std::vector<std::string> pidLongNames = {"ISOBUTYLENE", "BENZENE"};
  struct Case {
    int gasType;
    const char* chosen;
    std::optional<GasNameFill> fill;
  };
  const Case cases[] = {
      {0, "CH4", GasNameFill{"METHANE", "50000"}},
      {0, "HEX", GasNameFill{"HEXANE", "12000"}},
      {0, "H2 ", GasNameFill{"HYDOGEN", "40000"}},
      {0, "IBT", GasNameFill{"ISOBUTANE", "19000"}},
      {0, "XYZ", std::nullopt},
      {5, "BNZ", GasNameFill{"BENZENE", std::nullopt}},
      {5, "CH4", std::nullopt},
      {4, "CH4", std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<GasNameFill> fill =
        FillAfterGasName(c.gasType, c.chosen, other, pidNames, pidLongNames);
    ASSERT_EQ(fill.has_value(), c.fill.has_value()) << c.gasType << " " << c.chosen;
    if (!fill) continue;
    EXPECT_EQ(fill->longName, c.fill->longName) << c.chosen;
    EXPECT_EQ(fill->ratio, c.fill->ratio) << c.chosen;
  }
}

}  // namespace
}  // namespace kv::rules
