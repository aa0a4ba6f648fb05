#pragma once
// The GridRules of each settings grid of the window, each answering from
// kv_rules. Grids without rules (the pre-defined conversion table) are read-only.
#include <memory>
#include <optional>

#include "app/grid_rules.h"
#include "model/instrument.h"
#include "rules/alarm_level_rules.h"
#include "rules/table_rules.h"

namespace kv {

// vfgDatas; `record` (EditInstrument) takes the calibration limit's flag at
// once when an edit of it is accepted.
std::unique_ptr<GridRules> OtherSettingGridRules(clsInstrument& record);
// vfgGasName: the sensor types come from `record`, the PID names from the
// low-range PID grid; an accepted name is copied into the row captions of
// vfgChannel and vfgOtherSet.
std::unique_ptr<GridRules> GasNameGridRules(const clsInstrument& record, SettingsGrid& vfgChannel,
                                            SettingsGrid& vfgOtherSet,
                                            const SettingsGrid& lowRangePid);
std::unique_ptr<GridRules> ChannelGridRules();
std::unique_ptr<GridRules> MethaneGridRules();
std::unique_ptr<GridRules> GasOptionGridRules();
std::unique_ptr<GridRules> NameListGridRules(rules::NameList list);
std::unique_ptr<GridRules> UserConversionGridRules();
std::unique_ptr<GridRules> PidGridRules(int range);
// vfgAlarmLevels: full scale, decimals and oxygen pattern from `record`.
std::unique_ptr<GridRules> AlarmLevelGridRules(const clsInstrument& record);

// The alarm-level grid: rows 1..7 the sensor channels, these columns.
enum AlarmLevelColumn : int {
  kAlarmGas = 1,
  kAlarmUnit,
  kAlarmFullScale,
  kAlarmWarning,
  kAlarmAlarm,
  kAlarmStel,
  kAlarmTwa,
  kAlarmSpan,
};
inline constexpr int kAlarmLevelColumns = 9;
// The level a column edits; none for the read-only columns.
std::optional<rules::AlarmLevel> AlarmLevelOfColumn(int col);

}  // namespace kv
