#pragma once
// The builders of the settings view's groups and the cell makers they share.
#include "rules/settings_view.h"

namespace kv::view {

ViewCell Cell(std::string caption, ViewValue value, std::string text, std::string unit = {});
ViewCell TextCell(std::string caption, const Text& text);
ViewCell NumberCell(std::string caption, std::int64_t number);
// The setting of AllSettings() with this name; nullptr when none has it.
const SettingInfo* FindSetting(std::string_view name);
// A level through FormatGasValue with its decimals, and its unit.
ViewCell LevelCell(std::string caption, Single level, int decimals, const Text& unit = {});  // unit trimmed
ViewCell CheckCell(std::string caption, bool checked);
// A cell that holds no setting for its row: "-----".
ViewCell UnusedCell(std::string caption);
// A number with "0.00".
std::string TwoDecimals(double value);

// The name of gas slot 0..6 as the channel grids show it ("OXY", "H2S", "CO "
// for the fixed sensors), and its row caption ("STD1".."OPT3").
Text SlotName(const clsInstrument& record, int slot);
std::string SlotCaption(int slot);
inline bool IsFixedSensor(int slot) { return slot >= 1 && slot <= 3; }

std::vector<ViewEntry> IdentityEntries(const clsInstrument& record);
std::vector<ViewEntry> AlarmLevelEntries(const clsInstrument& record);
std::vector<ViewEntry> GasNameEntries(const clsInstrument& record);
std::vector<ViewEntry> ChannelMappingEntries(const clsInstrument& record);
std::vector<ViewEntry> GasOptionEntries(const clsInstrument& record);
std::vector<ViewEntry> MethaneEliminationEntries(const clsInstrument& record);
std::vector<ViewEntry> OtherSettingEntries(const clsInstrument& record);
std::vector<ViewEntry> StationEntries(const clsInstrument& record);
std::vector<ViewEntry> UserEntries(const clsInstrument& record);
std::vector<ViewEntry> PreDefinedConversionEntries(const clsInstrument& record);
std::vector<ViewEntry> UserConversionEntries(const clsInstrument& record);
std::vector<ViewEntry> PidHighRangeEntries(const clsInstrument& record);
std::vector<ViewEntry> PidLowRangeEntries(const clsInstrument& record);

}  // namespace kv::view
