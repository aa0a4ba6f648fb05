// The settings view: which record value lands in which group, row and cell,
// and how the window would show it.
#include <gtest/gtest.h>

#include <set>

#include "rules/settings_view.h"

namespace kv {
namespace {

// A record with a value in each kind of cell the view has to get right.
clsInstrument ViewRecord() {
  clsInstrument r;
  EXPECT_TRUE(r.SetGasPoint(2, 1));
  EXPECT_TRUE(r.SetGasUnit(2, " ppm"));
  EXPECT_TRUE(r.SetWarning(2, 12.5f));
  EXPECT_TRUE(r.SetAlarm(2, kNoDataValue));
  EXPECT_TRUE(r.SetGasName(4, "IR"));
  EXPECT_TRUE(r.SetUG_(0, 0x21));
  EXPECT_TRUE(r.SetAltRng(2, 1));
  EXPECT_TRUE(r.SetSI_(3, 77));
  EXPECT_TRUE(r.SetXS_(2, "NORTH GATE"));
  EXPECT_TRUE(r.SetXV_(0, 3));
  EXPECT_TRUE(r.SetLO_fc(1, 250));
  EXPECT_TRUE(r.SetLA_warn(31, 40.0f));
  EXPECT_TRUE(r.SetLA_volt(31, 1.0f));
  r.SetPIDPoint(4, 1, 2);
  r.SetPIDUnit(4, 1, "ppm");
  r.SetPIDWarn(4, 1, 1.5f);
  r.SetBarHoleTime(3);
  r.SetSpecType("2");
  r.SetDispID(true);
  r.SetAlarmMode(1);
  return r;
}

const ViewCell* FindCell(const std::vector<ViewGroup>& groups, std::string_view group,
                         std::string_view label, std::string_view key) {
  for (const ViewGroup& g : groups) {
    if (g.key != group) continue;
    for (const ViewEntry& entry : g.entries) {
      if (entry.label != label) continue;
      for (const ViewCell& cell : entry.cells) {
        if (cell.key == key) return &cell;
      }
    }
  }
  return nullptr;
}

struct CellCase {
  const char* group;
  const char* label;
  const char* key;
  const char* shown;
};

class SettingsViewCellTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(SettingsViewCellTest, ShowsTheRecordValueAsTheWindowDoes) {
  const CellCase& c = GetParam();
  const std::vector<ViewGroup> groups = BuildSettingsView(ViewRecord());
  const ViewCell* cell = FindCell(groups, c.group, c.label, c.key);
  ASSERT_NE(cell, nullptr) << c.group << " " << c.label << " " << c.key;
  EXPECT_EQ(ShownText(*cell), c.shown) << c.group << " " << c.label << " " << c.key;
}

INSTANTIATE_TEST_SUITE_P(
    Cells, SettingsViewCellTest,
    ::testing::Values(
        // Levels with the channel's decimals and unit; a code stands alone.
        CellCase{"channels", "STD3", "warning", "12.5 ppm"},
        CellCase{"channels", "STD3", "alarm", "-----"},
        CellCase{"channels", "STD3", "gas", "H2S"},
        CellCase{"channels", "STD4", "gas", "CO "},
        CellCase{"channels", "OPT1", "gas", "IR"},
        // Mask bits 0 and 5 map slot 0 to channels 1 and 6.
        CellCase{"channel_mapping", "STD1", "ch1", "[x]"},
        CellCase{"channel_mapping", "STD1", "ch2", "[ ]"},
        CellCase{"channel_mapping", "STD1", "ch6", "[x]"},
        CellCase{"gas_options", "STD3", "alternate_ranges", "[x]"},
        CellCase{"gas_options", "OPT1", "alternate_ranges", "-----"},
        CellCase{"gas_options", "STD2", "zero_follower", "-----"},
        CellCase{"gas_options", "STD2", "zero_suppress", "-----"},
        CellCase{"gas_names", "STD2", "long_name", "-----"},
        CellCase{"gas_names", "OPT2", "other_ratio", "-----"},
        CellCase{"methane_elimination", "ME SPAN", "methane_elimination", "77"},
        CellCase{"methane_elimination", "ME SPAN", "normal", "-----"},
        // Choices show their item; an index outside the list shows nothing.
        CellCase{"other", "", "bar_hole_measuring_time", ""},
        CellCase{"other", "", "language", "FRENCH"},
        CellCase{"other", "", "id_display", "On"},
        CellCase{"other", "", "alarm_latching", "Reset"},
        CellCase{"other", "", "calibration_time_limit", "90"},
        // Entries are numbered from 1; XV_ names the selected one.
        CellCase{"stations", "3", "id", "NORTH GATE"},
        CellCase{"stations", "3", "selected", "[x]"},
        CellCase{"stations", "2", "selected", "[ ]"},
        // User-defined entry 2 has the levels of LA_ entry 31.
        CellCase{"user_conversion", "2", "factor", "250.00"},
        CellCase{"user_conversion", "2", "1st", "40"},
        CellCase{"user_conversion", "2", "volt", "ME"},
        CellCase{"conversion", "2", "volt", "Normal"},
        // PID levels take the entry's own decimals and unit in their range.
        CellCase{"pid_low", "5", "1st", "1.50 ppm"},
        CellCase{"pid_low", "5", "point", "1/100"},
        CellCase{"pid_high", "5", "point", "1/1"}));

TEST(SettingsViewTest, EveryGroupKeyBuildsThatGroupAlone) {
  const clsInstrument record = ViewRecord();
  const std::vector<ViewGroup> all = BuildSettingsView(record);
  ASSERT_EQ(all.size(), SettingsViewGroupKeys().size());
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::string_view key = SettingsViewGroupKeys()[i];
    const std::optional<ViewGroup> one = BuildSettingsViewGroup(record, key);
    ASSERT_TRUE(one.has_value()) << key;
    EXPECT_EQ(one->key, key);
    EXPECT_EQ(all[i].key, key);
    EXPECT_EQ(one->entries.size(), all[i].entries.size()) << key;
  }
  EXPECT_FALSE(BuildSettingsViewGroup(record, "levels").has_value());
}

// Scripts find a cell by its key: two cells of one row must never share one.
TEST(SettingsViewTest, CellKeysAreUniqueWithinEachRow) {
  for (const ViewGroup& group : BuildSettingsView(ViewRecord())) {
    for (const ViewEntry& entry : group.entries) {
      std::set<std::string> keys;
      for (const ViewCell& cell : entry.cells) {
        EXPECT_FALSE(cell.key.empty()) << group.key << " " << cell.caption;
        EXPECT_TRUE(keys.insert(cell.key).second) << group.key << " " << entry.label << " " << cell.key;
      }
    }
  }
}

struct KeyCase {
  const char* caption;
  const char* key;
};

class ViewKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ViewKeyTest, IsSnakeCaseWithoutTheParenthesisedTail) {
  EXPECT_EQ(ViewKey(GetParam().caption), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(Captions, ViewKeyTest,
                         ::testing::Values(KeyCase{"Calibration Time Limit(0-365days)",
                                                   "calibration_time_limit"},
                                           KeyCase{"Cal. Past Due Action", "cal_past_due_action"},
                                           KeyCase{"SET PASSWORD ", "set_password"},
                                           KeyCase{"CAT D/A", "cat_d_a"},
                                           KeyCase{"1st", "1st"}));

TEST(SettingsViewTest, ShownTextPutsTheTrimmedUnitAfterNumbersOnly) {
  EXPECT_EQ(ShownText(ViewCell{"", "", 1.5f, "1.5", " ppm "}), "1.5 ppm");
  EXPECT_EQ(ShownText(ViewCell{"", "", -130.0f, "Fail(Air)", "ppm"}), "Fail(Air)");
  EXPECT_EQ(ShownText(ViewCell{"", "", 1.5f, "1.5", "   "}), "1.5");
}

}  // namespace
}  // namespace kv
