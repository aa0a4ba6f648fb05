#include "report/snapshot_differences.h"

#include "link/record_differences.h"
#include "model/instrument_settings.h"
#include "rules/setting_names.h"
#include "rules/settings_view_parts.h"

namespace kv::report {

std::vector<SnapshotDifference> SnapshotDifferences(const clsInstrument& first,
                                                    const clsInstrument& second) {
  clsInstrument flagged = second;
  std::vector<SnapshotDifference> shown;
  for (const SettingDifference& difference : FlagDifferences(flagged, first)) {
    const SettingInfo* setting = view::FindSetting(difference.name);
    if (setting == nullptr) continue;
    rules::SettingChange change = rules::DescribeChange(*setting, difference.index, first, second);
    shown.push_back({std::move(change.name), std::move(change.before), std::move(change.after)});
  }
  return shown;
}

}  // namespace kv::report
