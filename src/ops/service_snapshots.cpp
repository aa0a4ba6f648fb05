#include "ops/service_snapshots.h"

namespace kv::ops {

std::vector<RecordDifference> CompareRecords(const clsInstrument& a, const clsInstrument& b) {
  std::vector<RecordDifference> differences;
  for (const SettingInfo& setting : AllSettings()) {
    for (int i = 0; i < setting.count; ++i) {
      if (setting.get(a, i) == setting.get(b, i)) continue;
      differences.push_back({&setting, i, setting.changed != nullptr});
    }
  }
  return differences;
}

}  // namespace kv::ops
