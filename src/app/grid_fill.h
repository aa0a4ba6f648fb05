#pragma once
// One fill per settings grid, each reading the record behind the grids. A
// fill clears its grid and rewrites every cell, discarding earlier edits.
#include "app/settings_grid.h"
#include "model/instrument.h"

class QLineEdit;

namespace kv {

void FillStationUser(SettingsGrid& vfgStation, SettingsGrid& vfgUser, const clsInstrument& record);
void FillGasName(SettingsGrid& vfgGasName, const clsInstrument& record);
void FillChannel(SettingsGrid& vfgChannel, const clsInstrument& record);
// Also shows the tables' available count in `txtCount`.
void FillConversion(SettingsGrid& vfgPreConv, SettingsGrid& vfgUserConv, QLineEdit& txtCount,
                    const clsInstrument& record);
void FillMethaneElimination(SettingsGrid& vfgME, const clsInstrument& record);
void FillGasOptions(SettingsGrid& vfgOtherSet, const clsInstrument& record);
// range 0 High Range, 1 Low Range
void FillPID(SettingsGrid& vfgPID, int range, const clsInstrument& record);
void FillAlarmLevels(SettingsGrid& vfgAlarmLevels, const clsInstrument& record);

}  // namespace kv
