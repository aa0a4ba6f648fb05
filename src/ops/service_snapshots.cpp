#include "ops/service_snapshots.h"

#include "files/file_sink.h"

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

SnapshotRestore RestoreSnapshot(const std::string& snapshot, const std::string& path) {
  SnapshotRestore restore;
  clsInstrument record;
  restore.loaded = ReadMaintenanceText(record, snapshot);
  if (!restore.loaded.complete) return restore;
  restore.problems = CheckFileToSend(snapshot);
  if (!restore.problems.empty()) return restore;
  AtomicFileSink sink(path);
  restore.written = sink.Write(snapshot) && sink.Commit();
  if (!restore.written) restore.writeError = sink.Error();
  return restore;
}

}  // namespace kv::ops
