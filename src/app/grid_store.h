#pragma once
// StoreGrids: the write-back of the settings grids into the record behind
// them: the overlay of each grid's model is applied. Each edited cell's value
// (an accepted entry's, a toggle's) is compared with the record, and only a
// difference is assigned, so exactly the edited settings raise their change
// flags: a grid that was filled and not edited flags nothing, whatever its
// texts show, and a cell edited back to the value filled restores it.
#include <array>

#include "model/instrument.h"

namespace kv {

class SettingsGrid;

// The window's settings grids; a null grid is skipped.
struct SettingsGrids {
  SettingsGrid* datas = nullptr;      // vfgDatas, "Other Setting"
  SettingsGrid* station = nullptr;    // vfgStation
  SettingsGrid* user = nullptr;       // vfgUser
  SettingsGrid* gasName = nullptr;    // vfgGasName
  SettingsGrid* channel = nullptr;    // vfgChannel
  SettingsGrid* userConv = nullptr;   // vfgUserConv (the pre-defined table is read-only)
  SettingsGrid* methane = nullptr;    // vfgME
  SettingsGrid* gasOptions = nullptr; // vfgOtherSet
  std::array<SettingsGrid*, kPidRanges> pid{};
  SettingsGrid* alarmLevels = nullptr;  // vfgAlarmLevels
};

// In this order: Other Setting, station and user lists, gas names, channel
// mapping, conversion table, methane elimination, range and zero options,
// PID tables, alarm levels.
void StoreGrids(const SettingsGrids& grids, clsInstrument& record);

// Every grid's shown values become its unedited state.
void ClearEditMarks(const SettingsGrids& grids);

}  // namespace kv
