// kvmaint set's setting names: the record's accessor names and the names
// kvmaint prints, resolved against a record whose gas names matter.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "cli/setting_names.h"
#include "rules/pid_scales.h"

namespace kv::cli {
namespace {

// Methane on channel 1 is called "CH4", like channel 4 by number; channel 5
// holds CO2.
clsInstrument Record() {
  clsInstrument record;
  EXPECT_TRUE(record.SetGasName(0, "CH4") && record.SetGasName(4, "CO2 "));
  return record;
}

// A test name from a case's description.
std::string CaseName(const char* what) {
  std::string name;
  for (const char c : std::string(what)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

struct NameCase {
  const char* what;
  const char* name;
  const char* setting;
  int index;  // as the editing rules name it
  int range;
  int tableIndex;

  friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }
};

class ResolvesName : public testing::TestWithParam<NameCase> {};

TEST_P(ResolvesName, ToTheSettingItPrintsAs) {
  const NameCase& c = GetParam();
  std::string error;
  const std::optional<NamedSetting> found = ResolveSettingName(c.name, Record(), &error);
  ASSERT_TRUE(found.has_value()) << error;
  EXPECT_EQ(found->info->name, c.setting);
  EXPECT_EQ(found->ref.name, c.setting);
  EXPECT_EQ(found->ref.index, c.index);
  EXPECT_EQ(found->ref.range, c.range);
  EXPECT_EQ(found->tableIndex, c.tableIndex);
}

constexpr int kHigh = rules::kPidHighRange;
constexpr int kLow = rules::kPidLowRange;

INSTANTIATE_TEST_SUITE_P(
    Names, ResolvesName,
    testing::Values(
        NameCase{"accessor name", "LcdContrast", "LcdContrast", -1, -1, 0},
        NameCase{"accessor name with blanks around", "  lcdcontrast ", "LcdContrast", -1, -1, 0},
        NameCase{"global caption", "LCD Contrast(0-15)", "LcdContrast", -1, -1, 0},
        NameCase{"caption in another case, blanks doubled", " lcd  CONTRAST(0-15) ", "LcdContrast", -1, -1, 0},
        NameCase{"caption that ends in a blank", "SET PASSWORD", "Password", -1, -1, 0},
        NameCase{"caption with a dot", "Cal. Past Due Action", "CalCheck", -1, -1, 0},
        NameCase{"channel by fixed gas name", "CO warning level", "Warning", 3, -1, 3},
        NameCase{"channel by its own gas name", "co2 alarm level", "Alarm", 4, -1, 4},
        NameCase{"channel by number", "channel 5 alarm level", "Alarm", 4, -1, 4},
        NameCase{"channel by short number", "ch6 TWA level", "Twa", 5, -1, 5},
        NameCase{"channel by row caption", "STD4 STEL level", "Stel", 3, -1, 3},
        NameCase{"unnamed channel by slot", "OPT3 span value", "AutoCalib", 6, -1, 6},
        NameCase{"user list entry", "User 7", "XZ_", 6, -1, 6},
        NameCase{"station list entry", "station 128", "XS_", 127, -1, 127},
        NameCase{"conversion entry", "Conversion 3 factor", "LB_fc", 2, -1, 2},
        NameCase{"user conversion entry", "User conversion 2 long name", "LO_longname", 1, -1, 1},
        NameCase{"PID name", "PID 4 Name", "PIDName", 3, -1, 3},
        NameCase{"PID high range field", "PID 2 High Range 1st", "PIDWarn", 1, kHigh, 2},
        NameCase{"PID low range field", "PID 2 Low Range 1st", "PIDWarn", 1, kLow, 3},
        NameCase{"accessor channel form still works", "CO.Warning", "Warning", 3, -1, 3},
        NameCase{"accessor table form still works", "XS_[3]", "XS_", 2, -1, 2}),
    [](const auto& info) { return CaseName(info.param.what); });

struct RefusedCase {
  const char* what;
  const char* name;
  std::vector<std::string> saying;  // each part of the error
  bool nearNames = true;

  friend void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
};

class RefusesName : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusesName, SayingWhyAndWhatComesNear) {
  const RefusedCase& c = GetParam();
  std::string error;
  const std::optional<NamedSetting> found = ResolveSettingName(c.name, Record(), &error);
  EXPECT_FALSE(found.has_value()) << found->info->name;
  for (const std::string& part : c.saying) EXPECT_NE(error.find(part), std::string::npos) << error;
  EXPECT_EQ(error.find("near names") != std::string::npos, c.nearNames) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Names, RefusesName,
    testing::Values(
        // "ch4" is both channel 4 and the gas of channel 1.
        RefusedCase{"ambiguous", "ch4 warning level",
                    {"names more than one setting", "\"channel 1 warning level\"",
                     "\"channel 4 warning level\""},
                    false},
        RefusedCase{"caption cut short", "LCD Contrast",
                    {"no setting is called \"LCD Contrast\"", "near names: \"LCD Contrast(0-15)\""}},
        RefusedCase{"misspelt caption", "CO warnig level", {"\"CO warning level\""}},
        RefusedCase{"channel setting without channel", "Warning",
                    {"ch1..ch7 or the channel's gas name", "near names: \"CO warning level\""}},
        RefusedCase{"entry past the list", "User 34", {"no setting is called"}},
        RefusedCase{"nothing like it", "zzzzzzzzzzzz", {"no setting is called \"zzzzzzzzzzzz\""}, false}),
    [](const auto& info) { return CaseName(info.param.what); });

}  // namespace
}  // namespace kv::cli
