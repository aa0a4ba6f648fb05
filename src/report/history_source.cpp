#include "report/history_source.h"

#include "rules/edit_check.h"

namespace kv::report {

std::optional<history::Event> LatestReadSnapshot(history::Store& store, const std::string& serial,
                                                 std::string* error) {
  std::string failure;
  const std::string wanted(rules::Trim(serial));
  const std::vector<history::Event> events = store.Events(wanted, &failure);
  if (!failure.empty()) {
    if (error != nullptr) *error = failure;
    return std::nullopt;
  }
  // Events come oldest first: the last match is the latest.
  for (auto event = events.rbegin(); event != events.rend(); ++event) {
    if (event->serial == wanted && event->operation == history::kOpRead && event->result == "ok" &&
        !event->snapshot.empty()) {
      return *event;
    }
  }
  if (error != nullptr) *error = "no read of serial number " + wanted + " in the history";
  return std::nullopt;
}

KvdLoadResult LoadSnapshot(const history::Event& event, clsInstrument& record) {
  const KvdLoadResult loaded = ReadMaintenanceText(record, event.snapshot);
  record.StoreSerialNo(event.serial);
  return loaded;
}

}  // namespace kv::report
