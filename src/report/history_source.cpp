#include "report/history_source.h"

#include "rules/edit_check.h"

namespace kv::report {

std::optional<history::Event> LatestReadSnapshot(history::Store& store, const std::string& serial,
                                                 std::string* error) {
  std::string failure;
  const std::string wanted(rules::Trim(serial));
  // Exactly one snapshot is read: the latest read's.
  std::optional<history::Event> latest = store.LatestSnapshot(wanted, history::kOpRead, &failure);
  if (!failure.empty()) {
    if (error != nullptr) *error = failure;
    return std::nullopt;
  }
  if (latest) return latest;
  if (error != nullptr) *error = "no read of serial number " + wanted + " in the history";
  return std::nullopt;
}

KvdLoadResult LoadSnapshot(const history::Event& event, clsInstrument& record) {
  const KvdLoadResult loaded = ReadMaintenanceText(record, event.snapshot);
  record.StoreSerialNo(event.serial);
  return loaded;
}

}  // namespace kv::report
