#pragma once
// What an upload will write, setting by setting, and whether the instrument
// holds it afterwards (the check itself: ops/verification.h). The window's
// review before Transmit, the check after it, and kvmaint share these.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/instrument.h"
#include "model/instrument_settings.h"

namespace kv {

struct PendingChange {
  std::string_view setting;  // accessor name ("GasName")
  int index = 0;             // channel, table index or flattened PID index
  SettingValue oldValue;     // in the record exchanged with the instrument
  SettingValue newValue;     // in the edited record: what goes out
  std::string_view writeCode;  // the write group that carries it ("GN")
  int writeEntry = 0;          // the group's entry (table lines)
};

// Every setting flagged in `edited` that the upload writes, with its value in
// `current` and in `edited`, in the order the upload writes them. A flagged
// setting no write group carries (the fixed sensors' names) is left out.
std::vector<PendingChange> PendingChanges(const clsInstrument& current, const clsInstrument& edited);

// A value as the review shows it: numbers plainly ("35", "0.5"), switches
// "On"/"Off", texts as they are (Latin-1).
std::string SettingValueText(const SettingValue& value);

// Whether two values of one setting are the same, a Single allowing for the
// rounding of its trip over the wire.
bool SameValue(const SettingValue& a, const SettingValue& b);

}  // namespace kv
