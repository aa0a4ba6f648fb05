#include "app/grid_store.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/grid_editor.h"
#include "grid_set.h"
#include "support/sample_record.h"
#include "rules/pid_rules.h"

namespace kv {
namespace {

using test::FlaggedSettings;
using test::GridSet;
using Flags = std::set<std::string>;

// The known record with a special code or an unroundable value wherever the
// grids show a level: the texts read "*****", "-----" or a rounded number,
// none of which may turn into a change.
clsInstrument SpecialValuesRecord() {
  clsInstrument r = testsupport::GridRecord();
  constexpr float kCodes[] = {-101.0f, -118.0f, -121.0f, -130.0f, 65535.0f, 12.3456f, 0.05f};
  for (int ch = 0; ch < kSensorChannels; ++ch) {
    const float code = kCodes[static_cast<std::size_t>(ch)];
    (void)(r.SetGasPoint(ch, ch % 3) && r.SetGasFullScale(ch, code) && r.SetWarning(ch, code) &&
           r.SetAlarm(ch, kCodes[static_cast<std::size_t>((ch + 1) % 7)]) &&
           r.SetStel(ch, code) && r.SetTwa(ch, -102.0f) && r.SetAutoCalib(ch, 0.0004f));
  }
  r.SetPIDDigit(3, 0, 0.123456f);
  r.SetPIDFactor(3, 1, 1.005f);
  r.SetPIDPoint(5, 0, 12);  // beyond any resolution
  (void)(r.SetLA_ratio(31, 0.333333f) && r.SetLO_fc(2, -7) && r.SetXV_(0, 200) &&
         r.SetXV_(1, 0) && r.SetUG_(2, 0x7FC0) && r.SetZeroForce(5, 300));
  r.SetLcdBackLight(300);  // outside what the editor accepts
  r.SetSpecType("x");
  r.SetDummySerial("");
  r.ClearChangeFlags();
  return r;
}

struct FilledCase {
  const char* name;
  std::function<clsInstrument()> record;
};

class StoreAfterFill : public ::testing::TestWithParam<FilledCase> {};

TEST_P(StoreAfterFill, FlagsNothing) {
  clsInstrument record = GetParam().record();
  GridSet grids(record);
  grids.Fill();
  StoreGrids(grids.Grids(), record);
  EXPECT_EQ(FlaggedSettings(record), Flags{});
}

INSTANTIATE_TEST_SUITE_P(
    Records, StoreAfterFill,
    ::testing::Values(FilledCase{"fresh", [] { return clsInstrument{}; }},
                      FilledCase{"known", [] { return testsupport::GridRecord(); }},
                      FilledCase{"special_values", SpecialValuesRecord}),
    [](const auto& info) { return std::string(info.param.name); });

struct EditCase {
  const char* name;
  std::function<void(GridSet&)> edit;
  Flags flagged;
};

class StoreAfterEdits : public ::testing::TestWithParam<EditCase> {};

TEST_P(StoreAfterEdits, FlagExactlyTheEditedSettings) {
  clsInstrument record = SpecialValuesRecord();
  GridSet grids(record);
  grids.Fill();
  GetParam().edit(grids);
  StoreGrids(grids.Grids(), record);
  EXPECT_EQ(FlaggedSettings(record), GetParam().flagged);
}

void Enter(SettingsGrid& grid, int row, int col, const char* text) {
  const rules::EditCheck check = EnterText(grid, row, col, QString::fromLatin1(text));
  ASSERT_TRUE(check.accepted) << grid.objectName().toStdString() << " " << row << "," << col
                              << ": " << check.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Edits, StoreAfterEdits,
    ::testing::Values(
        EditCase{"three_cells_of_three_grids",
                 [](GridSet& g) {
                   Enter(g.datas, 14, 1, "100");   // LCD backlight
                   Enter(g.methane, 7, 2, "700");  // ME SPAN
                   Enter(g.gasName, 5, 1, "NH3");  // OPT1's name
                 },
                 {"LcdBackLight(0)", "SI_(3)", "GasName(4)"}},
        EditCase{"a_choice_row_and_a_list_name",
                 [](GridSet& g) {
                   Enter(g.datas, 18, 1, "45");   // bar-hole time: item 1
                   Enter(g.datas, 4, 1, "On");    // logger overwrite
                   Enter(g.station, 5, 1, "PUMP 2");
                 },
                 {"BarHoleTime(0)", "LogOverWrite(0)", "XS_(5)"}},
        EditCase{"an_edit_back_to_the_held_value_flags_nothing",
                 [](GridSet& g) { Enter(g.datas, 15, 1, "15"); },  // contrast is 15 already
                 {}},
        EditCase{"the_calibration_limit_flags_on_acceptance",
                 [](GridSet& g) { Enter(g.datas, 6, 1, "365"); },  // the value it holds
                 {"CalLimit(0)"}},
        EditCase{"alarm_levels_flag_their_channel_only",
                 [](GridSet& g) {
                   // channel 5: full scale 12.3456 with two decimals
                   Enter(g.alarmLevels, 6, kAlarmStel, "10.00");
                   Enter(g.alarmLevels, 6, kAlarmSpan, "*****");
                 },
                 {"Stel(5)", "AutoCalib(5)"}},
        EditCase{"a_channel_click_moves_the_channel",
                 [](GridSet& g) { g.channel.model()->setData(g.channel.Index(1, 3), Qt::Checked, Qt::CheckStateRole); },
                 {"UG_(0)", "GasEnabled(0)", "UG_(3)", "GasEnabled(3)"}},
        EditCase{"a_list_click_selects_its_entry",
                 [](GridSet& g) { g.user.model()->setData(g.user.Index(4, 0), Qt::Checked, Qt::CheckStateRole); },
                 {"XV_(1)"}},
        EditCase{"a_pid_level_of_one_range",
                 [](GridSet& g) { Enter(g.pidHigh, 1, rules::kPidTwa, "25.0"); },
                 // one flag serves every field of an entry's range
                 {"PIDFullScale(0)", "PIDPoint(0)", "PIDUnit(0)", "PIDDigit(0)", "PIDWarn(0)",
                  "PIDAlarm(0)", "PIDStel(0)", "PIDTwa(0)", "PIDAutoCal(0)", "PIDFactor(0)"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClearEditMarks, EditedCellsLookUneditedAndStoreStillSeesTheRecord) {
  clsInstrument record = testsupport::GridRecord();
  GridSet grids(record);
  grids.Fill();
  Enter(grids.datas, 14, 1, "100");
  ASSERT_EQ(grids.datas.State(14, 1), CellState::Edited);
  EXPECT_TRUE(grids.datas.Index(14, 1).data(Qt::FontRole).value<QFont>().bold());
  ClearEditMarks(grids.Grids());
  EXPECT_EQ(grids.datas.State(14, 1), CellState::Normal);
  EXPECT_FALSE(grids.datas.Index(14, 1).data(Qt::FontRole).value<QFont>().bold());
  // The value stays the edit's until a Store assigns it.
  StoreGrids(grids.Grids(), record);
  EXPECT_EQ(record.LcdBackLight(), 100);
}

// The overlay is applied: a stored edit taken back restores the value filled,
// and a setting the record holds otherwise than its unedited cell shows is
// left as the record holds it.
TEST(StoreGrids, AppliesTheEditsNotTheUneditedCells) {
  clsInstrument record = testsupport::GridRecord();
  const int filled = record.LcdBackLight();
  GridSet grids(record);
  grids.Fill();
  Enter(grids.datas, 14, 1, "100");
  StoreGrids(grids.Grids(), record);
  ASSERT_EQ(record.LcdBackLight(), 100);
  Enter(grids.datas, 14, 1, std::to_string(filled).c_str());
  StoreGrids(grids.Grids(), record);
  EXPECT_EQ(record.LcdBackLight(), filled) << "the edit taken back";

  record.SetLcdContrast(record.LcdContrast() == 3 ? 4 : 3);  // changed behind the grids
  const int contrast = record.LcdContrast();
  StoreGrids(grids.Grids(), record);
  EXPECT_EQ(record.LcdContrast(), contrast) << "an unedited cell writes nothing";
}

}  // namespace
}  // namespace kv
