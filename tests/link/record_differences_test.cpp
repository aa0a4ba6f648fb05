// Only the settings that differ from the instrument are marked for writing.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "link/record_differences.h"
#include "link/write_groups.h"

namespace kv {
namespace {

// The codes of the write groups that would send at least one line.
std::vector<std::string> GroupsToWrite(const clsInstrument& record) {
  std::vector<std::string> codes;
  for (const WriteGroup& group : WriteGroups()) {
    for (int entry = 0; entry < group.entries; ++entry) {
      if (group.wanted(record, entry, false)) {
        codes.emplace_back(group.code);
        break;
      }
    }
  }
  return codes;
}

clsInstrument Held() {
  clsInstrument held;
  held.SetAlarmMode(1);
  held.SetIntervals(60);
  (void)held.SetWarning(3, 25.0f);
  (void)held.SetXS_(4, "NORTH GATE");
  held.ClearChangeFlags();
  return held;
}

struct DifferenceCase {
  const char* name;
  std::function<void(clsInstrument&)> edit;
  std::vector<std::string> settings;  // "Name(index)"
  std::vector<std::string> groups;  // the version line (XV) always goes out
};

class FlagDifferencesTest : public ::testing::TestWithParam<DifferenceCase> {};

TEST_P(FlagDifferencesTest, RaisesExactlyTheFlagsOfDifferingSettings) {
  const clsInstrument held = Held();
  clsInstrument wanted = held;
  wanted.SetChangeFlags(true);  // flags left from loading must not count
  GetParam().edit(wanted);
  const clsInstrument edited = wanted;

  const std::vector<SettingDifference> found = FlagDifferences(wanted, held);

  std::vector<std::string> names;
  for (const SettingDifference& d : found) names.push_back(d.name + "(" + std::to_string(d.index) + ")");
  EXPECT_EQ(names, GetParam().settings);
  EXPECT_EQ(GroupsToWrite(wanted), GetParam().groups);
  // The values are the wanted ones.
  EXPECT_EQ(wanted.AlarmMode(), edited.AlarmMode());
  EXPECT_EQ(wanted.Intervals(), edited.Intervals());
  EXPECT_EQ(wanted.Warning(3), edited.Warning(3));
  EXPECT_EQ(wanted.XS_(4), edited.XS_(4));
}

INSTANTIATE_TEST_SUITE_P(
    Edits, FlagDifferencesTest,
    ::testing::Values(
        DifferenceCase{"Nothing", [](clsInstrument&) {}, {}, {"XV"}},
        DifferenceCase{"SameValueSetAgain", [](clsInstrument& r) { r.SetAlarmMode(1); }, {}, {"XV"}},
        DifferenceCase{"OneGlobal", [](clsInstrument& r) { r.SetAlarmMode(0); }, {"AlarmMode(0)"}, {"AP", "XV"}},
        // Its setter raises the flag only on a real change.
        DifferenceCase{"IntervalRaisesItsFlag", [](clsInstrument& r) { r.SetIntervals(30); },
                       {"Intervals(0)"}, {"XP", "XV"}},
        DifferenceCase{"ChannelLevel", [](clsInstrument& r) { (void)r.SetWarning(3, 35.0f); },
                       {"Warning(3)"}, {"A1", "XV"}},
        DifferenceCase{"TableEntry", [](clsInstrument& r) { (void)r.SetXS_(4, "SOUTH GATE"); },
                       {"XS_(4)"}, {"XS", "XV"}},
        DifferenceCase{"ThreeSettings",
                       [](clsInstrument& r) {
                         r.SetAlarmMode(0);
                         (void)r.SetWarning(3, 35.0f);
                         (void)r.SetXS_(4, "SOUTH GATE");
                       },
                       {"AlarmMode(0)", "Warning(3)", "XS_(4)"}, {"XS", "AP", "A1", "XV"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
