#include "report/snapshot_differences.h"

#include "ops/service_snapshots.h"
#include "rules/setting_names.h"

namespace kv::report {

std::vector<SnapshotDifference> SnapshotDifferences(const clsInstrument& first,
                                                    const clsInstrument& second) {
  std::vector<SnapshotDifference> shown;
  for (const ops::RecordDifference& difference : ops::CompareRecords(first, second)) {
    rules::SettingChange change = rules::DescribeChange(*difference.setting, difference.index, first, second);
    if (!difference.transmitted) change.name += " (not written by Transmit)";
    shown.push_back({std::move(change.name), std::move(change.before), std::move(change.after)});
  }
  return shown;
}

}  // namespace kv::report
