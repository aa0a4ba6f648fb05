#pragma once
// A setting's value as the grids show it: texts as stored ("(empty)" when
// blank), levels with their channel's (or PID entry's) decimal places, unit
// and special codes, other numbers plainly.
#include <string>

#include "model/instrument_settings.h"

namespace kv {

std::string DisplayValue(const SettingInfo& setting, const clsInstrument& record, int index);

// "Name(index)"; PID range fields as "Name(entry,range)".
std::string SettingLabel(const SettingInfo& setting, int index);

}  // namespace kv
