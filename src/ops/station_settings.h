#pragma once
// Which settings of a record belong to one instrument and are never rolled
// out from a distributed file, whether a distributed file fits an
// instrument, and what a roll-out writes and checks afterwards.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/record_differences.h"
#include "model/instrument.h"

namespace kv {

// A setting (its name in AllSettings()) that identifies or calibrates one
// unit, with the reason shown to the operator.
struct PerInstrumentSetting {
  std::string_view setting;
  std::string_view label;   // as the operator knows it
  std::string_view reason;  // why it stays with the unit
};

std::span<const PerInstrumentSetting> PerInstrumentSettings();
bool IsPerInstrument(std::string_view setting);

// Why `distributed` cannot be rolled out to `instrument` ("" when it fits):
// the sensors fitted, channel by channel, must be the same.
std::string LayoutMismatch(const clsInstrument& distributed, const clsInstrument& instrument);

// One instrument's roll-out: the distributed file over what it holds, its own
// settings kept, with exactly the differing settings flagged.
struct RollOut {
  clsInstrument wanted;
  std::vector<SettingDifference> differences;
};

// `fileContent` is a complete maintenance data file (checked beforehand).
RollOut PlanRollOut(std::string_view fileContent, const clsInstrument& held);

// How many of `differences` an upload has written: those whose change flag
// it cleared in `uploaded`.
int WrittenDifferences(const std::vector<SettingDifference>& differences, const clsInstrument& uploaded);

}  // namespace kv
