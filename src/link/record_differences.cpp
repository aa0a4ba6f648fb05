#include "link/record_differences.h"

#include "model/instrument_settings.h"

namespace kv {

std::vector<SettingDifference> FlagDifferences(clsInstrument& wanted, const clsInstrument& held) {
  // Start from what the instrument holds, flags down, and set each differing
  // value over it: a real change raises the flag of every setter (some raise
  // theirs only on a real change).
  clsInstrument result;
  CopyInstrument(result, held, false);
  result.ClearChangeFlags();
  std::vector<SettingDifference> differences;
  for (const SettingInfo& setting : AllSettings()) {
    if (setting.changed == nullptr) continue;
    for (int i = 0; i < setting.count; ++i) {
      const SettingValue value = setting.get(wanted, i);
      if (value == setting.get(held, i)) continue;
      [[maybe_unused]] const bool stored = setting.set(result, i, value);
      differences.push_back({std::string(setting.name), i, setting.kind != IndexKind::Scalar});
    }
  }
  SetRatioChannels(result);
  wanted = result;
  return differences;
}

}  // namespace kv

namespace kv {

int CountFlaggedSettings(const clsInstrument& record) {
  int flagged = 0;
  for (const SettingInfo& setting : AllSettings()) {
    if (setting.changed == nullptr) continue;
    for (int i = 0; i < setting.count; ++i) flagged += setting.changed(record, i) ? 1 : 0;
  }
  return flagged;
}

}  // namespace kv
