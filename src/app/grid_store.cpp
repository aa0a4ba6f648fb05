#include "app/grid_store.h"

#include <functional>
#include <vector>

#include "app/grid_layout.h"
#include "app/other_setting.h"
#include "app/setting_access.h"
#include "app/settings_grid.h"
#include "app/window_grid_rules.h"
#include "rules/gas_name_rules.h"
#include "rules/pid_rules.h"
#include "rules/slot_grid_rules.h"
#include "rules/table_rules.h"

namespace kv {
namespace {

using SettingOf = std::function<rules::SettingRef(int row, int col)>;

// Applies the overlay: every edited cell whose value differs from its setting
// in the record is assigned.
void StoreCells(const SettingsGrid& grid, clsInstrument& record, const SettingOf& settingOf) {
  for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
    for (int col = grid.FixedCols(); col < grid.Cols(); ++col) {
      if (grid.Kind(row, col) == CellKind::Unused || !grid.HasEdit(row, col)) continue;
      const rules::SettingRef setting = settingOf(row, col);
      if (setting.name.empty()) continue;
      const QVariant held = ReadSetting(record, setting);
      const QVariant shown = grid.Value(row, col);
      if (held.isValid() && !SameSettingValue(shown, held)) WriteSetting(record, setting, shown);
    }
  }
}

bool CheckEdited(const SettingsGrid& grid, int row, int col) {
  return grid.Kind(row, col) == CellKind::Check &&
         grid.Value(row, col).toBool() != grid.FilledValue(row, col).toBool();
}

// The list's names, and the checked entry once a check box of it was clicked.
void StoreNameList(const SettingsGrid& grid, clsInstrument& record, rules::NameList list) {
  const std::string_view names = list == rules::NameList::Station ? "XS_" : "XZ_";
  StoreCells(grid, record, [names](int row, int col) {
    return col == 1 ? rules::SettingRef{names, row} : rules::SettingRef{};
  });
  bool clicked = false;
  int checked = -1;
  for (int row = 0; row < grid.Rows(); ++row) {
    clicked = clicked || CheckEdited(grid, row, 0);
    if (grid.Value(row, 0).toBool()) checked = row;
  }
  if (!clicked || checked < 0) return;
  const rules::EditCheck selected = rules::SelectListEntry(list, checked);
  if (!selected.accepted) return;
  const QVariant number = *selected.number;
  if (!SameSettingValue(number, ReadSetting(record, selected.setting))) {
    WriteSetting(record, selected.setting, number);
  }
}

// Slots whose check boxes were clicked take the grid's channels; the others
// keep their mask untouched, bits beyond the six channels included.
void StoreChannels(const SettingsGrid& grid, clsInstrument& record) {
  rules::ChannelMap map = rules::ChannelMap::FromRecord(record);
  std::vector<int> editedSlots;
  for (int row = 1; row < grid.Rows(); ++row) {
    bool edited = false;
    for (int col = 1; col < grid.Cols(); ++col) edited = edited || CheckEdited(grid, row, col);
    if (edited) editedSlots.push_back(SlotOfRow(row));
  }
  for (const bool pass : {false, true}) {  // clear first, so a check is never undone
    for (const int slot : editedSlots) {
      for (int col = 1; col < grid.Cols(); ++col) {
        if (grid.Value(slot + 1, col).toBool() == pass) (void)map.Set(slot, col - 1, pass);
      }
    }
  }
  clsInstrument stored = record;
  rules::StoreChannelMap(stored, map);
  for (const int slot : editedSlots) {
    if (stored.UG_(slot) == record.UG_(slot)) continue;
    (void)(record.SetUG_(slot, stored.UG_(slot)) &&
           record.SetGasEnabled(slot, stored.GasEnabled(slot)));
  }
}

}  // namespace

void StoreGrids(const SettingsGrids& grids, clsInstrument& record) {
  if (grids.datas != nullptr) StoreOtherSetting(*grids.datas, record);
  if (grids.station != nullptr) StoreNameList(*grids.station, record, rules::NameList::Station);
  if (grids.user != nullptr) StoreNameList(*grids.user, record, rules::NameList::User);
  if (grids.gasName != nullptr) StoreCells(*grids.gasName, record, rules::GasNameSetting);
  if (grids.channel != nullptr) StoreChannels(*grids.channel, record);
  if (grids.userConv != nullptr) StoreCells(*grids.userConv, record, rules::UserConversionSetting);
  if (grids.methane != nullptr) StoreCells(*grids.methane, record, rules::MethaneSetting);
  if (grids.gasOptions != nullptr) StoreCells(*grids.gasOptions, record, rules::GasOptionSetting);
  for (int range = 0; range < kPidRanges; ++range) {
    const SettingsGrid* pid = grids.pid[static_cast<std::size_t>(range)];
    if (pid == nullptr) continue;
    StoreCells(*pid, record,
               [range](int row, int col) { return rules::PidSetting(range, row - 1, col); });
  }
  if (grids.alarmLevels != nullptr) {
    StoreCells(*grids.alarmLevels, record, [](int row, int col) {
      const std::optional<rules::AlarmLevel> level = AlarmLevelOfColumn(col);
      return level ? rules::AlarmLevelSetting(row - 1, *level) : rules::SettingRef{};
    });
  }
}

void ClearEditMarks(const SettingsGrids& grids) {
  for (SettingsGrid* grid : {grids.datas, grids.station, grids.user, grids.gasName, grids.channel,
                             grids.userConv, grids.methane, grids.gasOptions, grids.pid[0],
                             grids.pid[1], grids.alarmLevels}) {
    if (grid != nullptr) grid->ClearEditMarks();
  }
}

}  // namespace kv
