// SettingsTabs: the grids' editing rules, their fill from the record, the
// write-back of their edits, and the cells the record check refuses.
#include <QLineEdit>
#include <algorithm>
#include <functional>

#include "app/grid_fill.h"
#include "app/other_setting.h"
#include "app/settings_grid.h"
#include "app/settings_tabs.h"
#include "app/window_grid_rules.h"
#include "qtedge/latin1.h"
#include "rules/pid_rules.h"
#include "rules/table_rules.h"

namespace kv {

void SettingsTabs::InstallGridRules() {
  const std::initializer_list<std::pair<SettingsGrid*, const char*>> names = {
      {vfgDatas, "Other Setting"},           {vfgGasName, "Gas Name and CAT Ratio"},
      {vfgChannel, "Channel GAS Mapping"},   {vfgOtherSet, "Range and Zero Options"},
      {vfgME, "Methane Elimination"},        {vfgStation, "Station List"},
      {vfgUser, "User List"},                {vfgPreConv, "Pre-Defined Table"},
      {vfgUserConv, "User Defined Table"},   {vfgPID[0], "PID High Range"},
      {vfgPID[1], "PID Low Range"},          {vfgAlarmLevels, "Alarm Levels"}};
  for (const auto& [grid, name] : names) grid->setAccessibleName(tr(name));

  vfgDatas->SetRules(OtherSettingGridRules(record_));
  vfgGasName->SetRules(GasNameGridRules(record_, *vfgChannel, *vfgOtherSet, *vfgPID[1]));
  vfgChannel->SetRules(ChannelGridRules());
  vfgOtherSet->SetRules(GasOptionGridRules());
  vfgME->SetRules(MethaneGridRules());
  vfgStation->SetRules(NameListGridRules(rules::NameList::Station));
  vfgUser->SetRules(NameListGridRules(rules::NameList::User));
  vfgUserConv->SetRules(UserConversionGridRules());
  for (int range = 0; range < kPidRanges; ++range) {
    vfgPID[static_cast<std::size_t>(range)]->SetRules(PidGridRules(range));
  }
  vfgAlarmLevels->SetRules(AlarmLevelGridRules(record_));
  for (SettingsGrid* table : {vfgUserConv, vfgPID[0], vfgPID[1]}) {
    connect(table, &SettingsGrid::EntryAccepted, this, [this] { emit TableEntryAccepted(); });
  }
}

SettingsGrids SettingsTabs::Grids() const {
  SettingsGrids grids;
  grids.datas = vfgDatas;
  grids.station = vfgStation;
  grids.user = vfgUser;
  grids.gasName = vfgGasName;
  grids.channel = vfgChannel;
  grids.userConv = vfgUserConv;
  grids.methane = vfgME;
  grids.gasOptions = vfgOtherSet;
  grids.pid = vfgPID;
  grids.alarmLevels = vfgAlarmLevels;
  return grids;
}

void SettingsTabs::FillAll() {
  FillOtherSetting(*vfgDatas, record_);
  FillStationUser(*vfgStation, *vfgUser, record_);
  FillGasName(*vfgGasName, record_);
  FillChannel(*vfgChannel, record_);
  FillConversion(*vfgPreConv, *vfgUserConv, *txtCount, record_);
  FillMethaneElimination(*vfgME, record_);
  FillGasOptions(*vfgOtherSet, record_);
  for (int range = 0; range < kPidRanges; ++range) {
    FillPID(*vfgPID[static_cast<std::size_t>(range)], range, record_);
  }
  FillAlarmLevels(*vfgAlarmLevels, record_);
  // A fill starts every cell afresh: no earlier mark stands.
  refusedCells_.clear();
}

void SettingsTabs::StoreEdits() { StoreGrids(Grids(), record_); }

void SettingsTabs::ClearEditMarks() { kv::ClearEditMarks(Grids()); }

void SettingsTabs::MarkRefusedTableCells(const std::vector<rules::SettingProblem>& problems) {
  for (const MarkedCell& cell : refusedCells_) cell.grid->MarkInvalid(cell.row, cell.col, QString());
  refusedCells_.clear();
  if (problems.empty()) return;
  const auto mark = [&](SettingsGrid& grid, const std::function<rules::SettingRef(int, int)>& settingOf) {
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
      for (int col = grid.FixedCols(); col < grid.Cols(); ++col) {
        const rules::SettingRef setting = settingOf(row, col);
        if (setting.name.empty()) continue;
        for (const rules::SettingProblem& problem : problems) {
          if (!(problem.setting == setting)) continue;
          grid.MarkInvalid(row, col, ToQString(problem.Describe()));
          refusedCells_.push_back({&grid, row, col});
          break;
        }
      }
    }
  };
  mark(*vfgUserConv, rules::UserConversionSetting);
  for (int range = 0; range < kPidRanges; ++range) {
    mark(*vfgPID[static_cast<std::size_t>(range)],
         [range](int row, int col) { return rules::PidSetting(range, row - 1, col); });
  }
}

bool SettingsTabs::MarkedByRecordCheck(const SettingsGrid* grid, int row, int col) const {
  return std::any_of(refusedCells_.begin(), refusedCells_.end(), [&](const MarkedCell& cell) {
    return cell.grid == grid && cell.row == row && cell.col == col;
  });
}

std::string SettingsTabs::FirstRefusedTable() const {
  // The name lists are refused by their name column only.
  struct Table {
    const SettingsGrid* grid;
    int onlyCol;
    const char* name;
  };
  const std::array<Table, 5> tables = {{{vfgStation, 1, "Station List"},
                                        {vfgUser, 1, "User List"},
                                        {vfgUserConv, -1, "User Defined Conversion Table"},
                                        {vfgPID[0], -1, "PID Sensor Settings"},
                                        {vfgPID[1], -1, "PID Sensor Settings"}}};
  for (const Table& table : tables) {
    for (int row = table.grid->FixedRows(); row < table.grid->Rows(); ++row) {
      for (int col = table.grid->FixedCols(); col < table.grid->Cols(); ++col) {
        if (table.onlyCol >= 0 && col != table.onlyCol) continue;
        if (table.grid->State(row, col) == CellState::Invalid && !MarkedByRecordCheck(table.grid, row, col)) {
          return table.name;
        }
      }
    }
  }
  return {};
}

SettingsGrid* SettingsTabs::GridOf(csv::CsvTable table) const {
  switch (table) {
    case csv::CsvTable::Stations: return vfgStation;
    case csv::CsvTable::Users: return vfgUser;
    case csv::CsvTable::PidHigh: return vfgPID[0];
    case csv::CsvTable::PidLow: return vfgPID[1];
    case csv::CsvTable::Conversion: return vfgUserConv;
  }
  return nullptr;
}

}  // namespace kv
