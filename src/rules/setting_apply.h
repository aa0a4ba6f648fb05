#pragma once
// Storing an accepted edit into the record, the one way every entry does it
// (`kvmaint set`, the CSV imports; the window through its grids): the value
// goes into exactly the setting the rule named, and what the grids fill in
// after an edit follows (a chosen gas brings its long name and ratio, a
// mapped channel leaves the slot that had it). A value the setting's type
// cannot hold exactly is refused, never rounded.
#include <optional>
#include <string>

#include "model/instrument.h"
#include "model/instrument_settings.h"
#include "rules/edit_check.h"

namespace kv::rules {

// The record's table row of a setting and the flat index its get and set
// take; nullptr when the record has no such setting or entry.
const SettingInfo* FindSettingInfo(const SettingRef& setting, int& index);
std::optional<SettingValue> ReadSettingValue(const clsInstrument& record, const SettingRef& setting);

// Stores `check` (accepted by the rule of `check.setting`), raising the
// setting's change flag, then what follows from it. Empty on success;
// otherwise why nothing was stored ("1.25 would be stored as 1").
std::string ApplySettingEdit(clsInstrument& record, const EditCheck& check);

}  // namespace kv::rules
