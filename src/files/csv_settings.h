#pragma once
// Internal to the CSV tables: the record setting behind each cell, read and
// written through the record's table of settings.
#include <optional>
#include <string>

#include "files/csv_tables.h"
#include "model/instrument_settings.h"
#include "rules/edit_check.h"

namespace kv::csv {

rules::SettingRef SettingOf(CsvTable table, int row, int column);
// Empty where the setting is unknown.
std::optional<SettingValue> ReadSetting(const clsInstrument& record, const rules::SettingRef& ref);
// Texts as they are, numbers converted to the setting's type (whole numbers
// rounded). False where the setting is unknown.
bool WriteSetting(clsInstrument& record, const rules::SettingRef& ref, const std::string& text,
                  double number);

}  // namespace kv::csv
