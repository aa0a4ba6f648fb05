// frmMain: the alarm-level page, the grids' editing rules, and the
// write-back of the grids into EditInstrument.
#include <QLabel>
#include <QVBoxLayout>
#include <functional>

#include "app/frm_main.h"
#include "app/grid_fill.h"
#include "app/grid_store.h"
#include "app/settings_grid.h"
#include "app/window_grid_rules.h"
#include "model/instrument_settings.h"
#include "qtedge/latin1.h"
#include "rules/pid_rules.h"
#include "rules/record_check.h"
#include "rules/table_rules.h"

namespace kv {
namespace {

SettingsGrids GridsOf(SettingsGrid* datas, SettingsGrid* station, SettingsGrid* user,
                      SettingsGrid* gasName, SettingsGrid* channel, SettingsGrid* userConv,
                      SettingsGrid* methane, SettingsGrid* gasOptions,
                      const std::array<SettingsGrid*, kPidRanges>& pid,
                      SettingsGrid* alarmLevels) {
  SettingsGrids grids;
  grids.datas = datas;
  grids.station = station;
  grids.user = user;
  grids.gasName = gasName;
  grids.channel = channel;
  grids.userConv = userConv;
  grids.methane = methane;
  grids.gasOptions = gasOptions;
  grids.pid = pid;
  grids.alarmLevels = alarmLevels;
  return grids;
}

}  // namespace

QWidget* frmMain::BuildAlarmLevelPage() {
  auto* page = new QWidget(this);
  auto* outer = new QVBoxLayout(page);
  auto* caption = new QLabel(tr("Alarm Levels"), page);
  QFont bold = caption->font();
  bold.setBold(true);
  caption->setFont(bold);
  vfgAlarmLevels = AddGrid(QStringLiteral("vfgAlarmLevels"));
  outer->addWidget(caption);
  outer->addWidget(vfgAlarmLevels, 1);
  return page;
}

void frmMain::InstallGridRules() {
  const std::initializer_list<std::pair<SettingsGrid*, const char*>> names = {
      {vfgDatas, "Other Setting"},           {vfgGasName, "Gas Name and CAT Ratio"},
      {vfgChannel, "Channel GAS Mapping"},   {vfgOtherSet, "Range and Zero Options"},
      {vfgME, "Methane Elimination"},        {vfgStation, "Station List"},
      {vfgUser, "User List"},                {vfgPreConv, "Pre-Defined Table"},
      {vfgUserConv, "User Defined Table"},   {vfgPID[0], "PID High Range"},
      {vfgPID[1], "PID Low Range"},          {vfgAlarmLevels, "Alarm Levels"}};
  for (const auto& [grid, name] : names) grid->setAccessibleName(tr(name));

  vfgDatas->SetRules(OtherSettingGridRules(editInstrument_));
  vfgGasName->SetRules(GasNameGridRules(editInstrument_, *vfgChannel, *vfgOtherSet, *vfgPID[1]));
  vfgChannel->SetRules(ChannelGridRules());
  vfgOtherSet->SetRules(GasOptionGridRules());
  vfgME->SetRules(MethaneGridRules());
  vfgStation->SetRules(NameListGridRules(rules::NameList::Station));
  vfgUser->SetRules(NameListGridRules(rules::NameList::User));
  vfgUserConv->SetRules(UserConversionGridRules());
  for (int range = 0; range < kPidRanges; ++range) {
    vfgPID[static_cast<std::size_t>(range)]->SetRules(PidGridRules(range));
  }
  vfgAlarmLevels->SetRules(AlarmLevelGridRules(editInstrument_));
}

void frmMain::MarkRefusedTableCells() {
  for (const MarkedCell& cell : refusedCells_) cell.grid->MarkInvalid(cell.row, cell.col, QString());
  refusedCells_.clear();
  StoreGrids();
  clsInstrument record = curInstrument_;
  CopyInstrument(record, editInstrument_, true);
  const std::vector<rules::SettingProblem> problems = rules::CheckRecord(record, rules::RecordScope::Changed);
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

void frmMain::FillAlarmLevels() { kv::FillAlarmLevels(*vfgAlarmLevels, editInstrument_); }

void frmMain::StoreGrids() {
  kv::StoreGrids(GridsOf(vfgDatas, vfgStation, vfgUser, vfgGasName, vfgChannel, vfgUserConv, vfgME,
                         vfgOtherSet, vfgPID, vfgAlarmLevels),
                 editInstrument_);
}

void frmMain::ClearEditMarks() {
  kv::ClearEditMarks(GridsOf(vfgDatas, vfgStation, vfgUser, vfgGasName, vfgChannel, vfgUserConv,
                             vfgME, vfgOtherSet, vfgPID, vfgAlarmLevels));
}

}  // namespace kv
