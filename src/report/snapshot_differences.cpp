#include "report/snapshot_differences.h"

#include "link/record_differences.h"
#include "model/instrument_settings.h"
#include "rules/setting_display.h"
#include "rules/settings_view_parts.h"

namespace kv::report {

std::vector<SnapshotDifference> SnapshotDifferences(const clsInstrument& first,
                                                    const clsInstrument& second) {
  clsInstrument flagged = second;
  std::vector<SnapshotDifference> shown;
  for (const SettingDifference& difference : FlagDifferences(flagged, first)) {
    const SettingInfo* setting = view::FindSetting(difference.name);
    if (setting == nullptr) continue;
    shown.push_back({SettingCaption(*setting, second, difference.index),
                     DisplayValue(*setting, first, difference.index),
                     DisplayValue(*setting, second, difference.index)});
  }
  return shown;
}

}  // namespace kv::report
