#pragma once
// One entry point for callers that name a setting instead of a grid cell
// (`kvmaint set FILE.kvd NAME=VALUE`): the rule of the cell that edits the
// setting, judged against the record as the grids would show it.
#include <string_view>

#include "model/instrument.h"
#include "rules/edit_check.h"

namespace kv::rules {

// The setting is an accessor name with its index (and PID range) as
// SettingRef names it: {"LcdBackLight"}, {"Warning", 3}, {"PIDFactor", 16, 0}.
// Refused with "no editing rule for this setting" where no grid edits it.
EditCheck CheckSettingEdit(const clsInstrument& record, const SettingRef& setting,
                           std::string_view text);

// An edit keeps what was typed or is refused: a check that accepted with an
// adjustment (a level the table would round to its step) becomes the refusal
// "accepts only what it keeps: 150 becomes 200: ...". Every editor that
// stores what it is given (`kvmaint set`, the window's grids) judges through it.
EditCheck Exactly(const EditCheck& check);

// The text the editing grid shows for the setting's value in `record`
// (levels with their decimal places and codes, choices as their item); what
// CheckSettingEdit judges when a whole record is checked.
std::string SettingText(const clsInstrument& record, const SettingRef& setting);

}  // namespace kv::rules
