#include "historydb/snapshot.h"

#include "common/clock.h"
#include "files/file_sink.h"
#include "files/kvd_writer.h"
#include "history/history_event.h"

namespace kv::history {
std::string SnapshotOf(const clsInstrument& record) { return MaintenanceFileText(record); }

Event EventFor(const clsInstrument& record, std::string operation) {
  Event event;
  event.serial = SerialText(record.SerialNo());
  event.model = ModelText(record.SpecType());
  event.time = EventTime(SystemClock().Now());
  event.user = CurrentUser();
  event.operation = std::move(operation);
  event.result = "ok";
  return event;
}

}  // namespace kv::history
