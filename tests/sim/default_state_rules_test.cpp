// The simulator's demonstration instrument holds only values the window's
// editors accept, so a demonstration edit never starts from a refused value.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "model/instrument_settings.h"
#include "protocol/format_gas_value.h"
#include "rules/alarm_level_rules.h"
#include "rules/gas_name_rules.h"
#include "rules/other_setting_rules.h"
#include "files/csv_tables.h"
#include "rules/pid_rules.h"
#include "rules/record_check.h"
#include "rules/setting_rules.h"
#include "rules/slot_grid_rules.h"
#include "rules/table_rules.h"
#include "sim/sim_default_state.h"

namespace kv {
namespace {

using rules::SettingRef;

// A single setting's value as text: numbers whole, switches 0 or 1.
std::string ScalarText(const clsInstrument& r, std::string_view name) {
  for (const SettingInfo& s : AllSettings()) {
    if (s.name != name) continue;
    return std::visit(
        [](const auto& v) -> std::string {
          using T = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<T, Text>) {
            return v;
          } else {
            return std::to_string(static_cast<long>(v));
          }
        },
        s.get(r, 0));
  }
  return "?";
}

struct Judged {
  std::string where;
  rules::EditCheck check;
};
using Judge = std::function<void(const clsInstrument&, std::vector<Judged>&)>;

// Each "Other Setting" row as the grid shows it: a choice row its list item.
void OtherSettings(const clsInstrument& r, std::vector<Judged>& out) {
  for (const rules::OtherSettingRule& rule : rules::OtherSettingRules()) {
    std::string text = ScalarText(r, rule.setting);
    const rules::ChoiceItems items = rules::OtherChoices(rule.list);
    if (!items.empty()) {
      const std::size_t index = std::stoul(text);
      text = index < items.size() ? items[index] : "item " + text;
    }
    out.push_back({std::string(rule.setting), rules::CheckOtherSetting(rule.row, text)});
  }
}

void GasNames(const clsInstrument& r, std::vector<Judged>& out) {
  for (int row = 1; row <= 7; ++row) {
    for (int col = rules::kGasNameName; col <= rules::kGasNameOtherRatio; ++col) {
      const SettingRef setting = rules::GasNameSetting(row, col);
      if (setting.name.empty() || !rules::GasNameCellEditable(row, col)) continue;
      std::string text = ScalarText(r, setting.name);
      if (setting.name == "GasName") text = r.GasName(setting.index);
      if (setting.name == "G1_") text = r.G1_(setting.index);
      if (setting.name == "FL_") text = std::to_string(r.FL_(setting.index));
      out.push_back({std::string(setting.name) + std::to_string(setting.index),
                     rules::CheckSettingEdit(r, setting, text)});
    }
  }
}

void MethaneElimination(const clsInstrument& r, std::vector<Judged>& out) {
  for (int row = 1; row <= 7; ++row) {
    for (int col = 1; col <= 2; ++col) {
      if (!rules::MethaneCellEditable(row, col)) continue;
      const SettingRef s = rules::MethaneSetting(row, col);
      const Integer value = s.name == "HH_"   ? r.HH_(s.index)
                            : s.name == "HE_" ? r.HE_(s.index)
                            : s.name == "RP_" ? r.RP_(s.index)
                                              : r.SI_(s.index);
      out.push_back({std::string(s.name) + std::to_string(s.index),
                     rules::CheckMethaneCell(row, col, std::to_string(value))});
    }
  }
}

void ZeroSuppress(const clsInstrument& r, std::vector<Judged>& out) {
  for (int slot = 2; slot < kSensorChannels; ++slot) {
    // As the grid judges it: a channel without a sensor holds the code 16.
    out.push_back({"ZeroForce" + std::to_string(slot),
                   rules::CheckSettingEdit(r, {"ZeroForce", slot}, std::to_string(r.ZeroForce(slot)))});
  }
}

void AlarmLevels(const clsInstrument& r, std::vector<Judged>& out) {
  using L = rules::AlarmLevel;
  for (int ch = 0; ch < kSensorChannels; ++ch) {
    const int point = r.GasPoint(ch);
    for (const auto& [level, value] : {std::pair{L::Warning, r.Warning(ch)},
                                       std::pair{L::Alarm, r.Alarm(ch)},
                                       std::pair{L::Stel, r.Stel(ch)}, std::pair{L::Twa, r.Twa(ch)},
                                       std::pair{L::Span, r.AutoCalib(ch)}}) {
      out.push_back({"level " + std::to_string(static_cast<int>(level)) + " of channel " +
                         std::to_string(ch),
                     rules::CheckAlarmLevel(r, ch, level, FormatGasValue(value, point))});
    }
  }
}

void NameLists(const clsInstrument& r, std::vector<Judged>& out) {
  for (int i = 0; i < rules::kStationEntries; ++i) {
    out.push_back({"XS_" + std::to_string(i),
                   rules::CheckListName(rules::NameList::Station, i, r.XS_(i))});
  }
  for (int i = 0; i < rules::kUserEntries; ++i) {
    out.push_back(
        {"XZ_" + std::to_string(i), rules::CheckListName(rules::NameList::User, i, r.XZ_(i))});
  }
}

// The user table and the PID tables are judged row by row against the record.
void Tables(const clsInstrument& r, std::vector<Judged>& out) {
  for (int row = 1; row < rules::kUserConversionRows; ++row) {
    for (int col = rules::kConvName; col <= rules::kConvVolt; ++col) {
      const SettingRef s = rules::UserConversionSetting(row, col);
      std::string text;
      if (col == rules::kConvName) text = r.LO_name(row - 1);
      if (col == rules::kConvLongName) text = r.LO_longname(row - 1);
      if (col == rules::kConvFactor) text = std::to_string(r.LO_fc(row - 1));
      if (col == rules::kConvWarn) text = FormatGasValue(r.LA_warn(s.index), 0);
      if (col == rules::kConvAlarm) text = FormatGasValue(r.LA_alarm(s.index), 0);
      if (col == rules::kConvRatio) text = std::to_string(static_cast<long>(r.LA_ratio(s.index)));
      if (col == rules::kConvVolt) text = r.LA_volt(s.index) == 1.0f ? "ME" : "Normal";
      out.push_back({std::string(s.name) + std::to_string(s.index),
                     rules::CheckSettingEdit(r, s, text)});
    }
  }
  for (int range = 0; range < kPidRanges; ++range) {
    for (int entry = 0; entry < kPidReachable; ++entry) {
      if (r.PIDName(entry).empty()) continue;  // an unused entry
      const int point = r.PIDPoint(entry, range);
      const std::pair<const char*, float> levels[] = {
          {"PIDWarn", r.PIDWarn(entry, range)},   {"PIDAlarm", r.PIDAlarm(entry, range)},
          {"PIDStel", r.PIDStel(entry, range)},   {"PIDTwa", r.PIDTwa(entry, range)},
          {"PIDAutoCal", r.PIDAutoCal(entry, range)}, {"PIDFullScale", r.PIDFullScale(entry, range)}};
      for (const auto& [name, value] : levels) {
        out.push_back({std::string(name) + " " + std::to_string(entry) + "/" + std::to_string(range),
                       rules::CheckSettingEdit(r, {name, entry, range}, FormatGasValue(value, point))});
      }
      const std::string pointText = "1/1" + std::string(static_cast<std::size_t>(std::max(point, 0)), '0');
      out.push_back({"PIDPoint " + std::to_string(entry) + "/" + std::to_string(range),
                     rules::CheckSettingEdit(r, {"PIDPoint", entry, range}, pointText)});
      out.push_back({"PIDDigit " + std::to_string(entry) + "/" + std::to_string(range),
                     rules::CheckSettingEdit(r, {"PIDDigit", entry, range},
                                             rules::NumberText(r.PIDDigit(entry, range), point))});
      out.push_back({"PIDFactor " + std::to_string(entry) + "/" + std::to_string(range),
                     rules::CheckSettingEdit(r, {"PIDFactor", entry, range},
                                             rules::NumberText(r.PIDFactor(entry, range), 2))});
    }
  }
}

struct GridCase {
  const char* grid;
  Judge judge;
};

class DemoInstrumentPassesTheRules : public ::testing::TestWithParam<GridCase> {};

TEST_P(DemoInstrumentPassesTheRules, EverySettingOfTheGrid) {
  const clsInstrument demo = sim::MakeDemoInstrument();
  std::vector<Judged> judged;
  GetParam().judge(demo, judged);
  ASSERT_FALSE(judged.empty());
  for (const Judged& j : judged) {
    EXPECT_TRUE(j.check.accepted) << j.where << ": " << j.check.reason;
  }
}

INSTANTIATE_TEST_SUITE_P(Grids, DemoInstrumentPassesTheRules,
                         ::testing::Values(GridCase{"other_setting", OtherSettings},
                                           GridCase{"gas_names", GasNames},
                                           GridCase{"methane_elimination", MethaneElimination},
                                           GridCase{"zero_suppress", ZeroSuppress},
                                           GridCase{"alarm_levels", AlarmLevels},
                                           GridCase{"station_and_user_lists", NameLists},
                                           GridCase{"conversion_and_pid_tables", Tables}),
                         [](const auto& info) { return std::string(info.param.grid); });

// The whole record as a writer checks it: nothing to refuse.
TEST(DemoInstrument, PassesTheRecordCheckWhole) {
  for (const rules::SettingProblem& problem :
       rules::CheckRecord(sim::MakeDemoInstrument(), rules::RecordScope::All)) {
    ADD_FAILURE() << problem.Describe();
  }
}

// Each table exports, and importing the export changes nothing: no cell is
// refused, none rounded, and the record reads back the same.
TEST(DemoInstrument, ExportsEveryTableAndTakesItBackUnchanged) {
  using csv::CsvTable;
  for (const CsvTable table :
       {CsvTable::Stations, CsvTable::Users, CsvTable::PidHigh, CsvTable::PidLow, CsvTable::Conversion}) {
    SCOPED_TRACE(std::string(csv::ShapeOf(table).fileName));
    const clsInstrument demo = sim::MakeDemoInstrument();
    ASSERT_EQ(csv::ExportBlockedBy(demo, table), "");
    const std::string exported = csv::ExportCsv(csv::CellsOf(demo, table));
    clsInstrument imported = demo;
    csv::CsvCells cells = csv::CellsOf(imported, table);
    const csv::CsvImport result = csv::ImportCsvText(exported, cells);
    ASSERT_TRUE(result.complete) << result.error;
    for (const csv::CsvRow& row : cells.rows) {
      for (const csv::CsvCell& cell : row) {
        EXPECT_TRUE(cell.valid) << cell.text << ": " << cell.reason;
        EXPECT_EQ(cell.adjusted, "") << cell.text;
      }
    }
    csv::StoreImportedRows(cells, result.importedRows, imported);
    for (const SettingInfo& setting : AllSettings()) {
      for (int i = 0; i < setting.count; ++i) {
        EXPECT_EQ(setting.get(imported, i), setting.get(demo, i)) << SettingCaption(setting, demo, i);
      }
    }
  }
}

}  // namespace
}  // namespace kv
