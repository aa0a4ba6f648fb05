#include "fleet/policy_audit.h"

#include "ops/station_settings.h"
#include "rules/setting_display.h"

namespace kv::fleet {

std::vector<PolicyDifference> DifferencesFromPolicy(const clsInstrument& policy, const clsInstrument& instrument) {
  std::vector<PolicyDifference> differences;
  for (const SettingInfo& setting : AllSettings()) {
    // Settings without a change flag are never written: readings, logs, calibration results.
    if (setting.changed == nullptr || IsPerInstrument(setting.name)) continue;
    for (int i = 0; i < setting.count; ++i) {
      if (setting.get(policy, i) == setting.get(instrument, i)) continue;
      differences.push_back({SettingCaption(setting, instrument, i), DisplayValue(setting, policy, i),
                             DisplayValue(setting, instrument, i)});
    }
  }
  return differences;
}

}  // namespace kv::fleet
