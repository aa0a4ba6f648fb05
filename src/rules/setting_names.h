#pragma once
// The name a setting goes by where the user sees it: the caption of the grid
// row or column that edits it, with the gas name for a channel setting
// ("Warning (CO)") and the entry number for a list entry ("Station List 3").
// A setting no grid shows keeps its accessor name.
#include <string>
#include <string_view>

#include "model/instrument.h"

namespace kv::rules {

std::string SettingDisplayName(std::string_view setting, int index, const clsInstrument& record);

}  // namespace kv::rules
