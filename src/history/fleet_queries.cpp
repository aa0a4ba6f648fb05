// The fleet queries of a store that has no faster way: from all its events.
#include <map>

#include "history/history_store.h"

namespace kv::history {

std::vector<Event> Store::LatestReads(std::string* error) {
  std::map<std::string, Event> latest;
  for (Event& event : Events(std::nullopt, error)) {
    if (event.operation == kOpRead && event.result == "ok" && !event.snapshot.empty()) {
      latest[event.serial] = std::move(event);  // oldest first: the last one stays
    }
  }
  std::vector<Event> reads;
  for (auto& [serial, event] : latest) reads.push_back(std::move(event));
  return reads;
}

std::vector<Event> Store::CalibrationEvents(std::string* error) {
  std::vector<Event> events = Events(std::nullopt, error);
  std::map<std::string, std::string> since;  // each serial's latest calibration history
  for (const Event& event : events) {
    if (event.operation == kOpCalHistory && event.result == "ok") since[event.serial] = event.time;
  }
  std::vector<Event> calibrations;
  for (Event& event : events) {
    const bool calibration =
        event.operation == kOpZero || event.operation == kOpSpan || event.operation == kOpCalHistory;
    if (!calibration || event.result != "ok" || event.time < since[event.serial]) continue;
    event.snapshot.clear();
    calibrations.push_back(std::move(event));
  }
  return calibrations;
}

std::vector<InstrumentSummary> Store::LastSeen(std::string* error) {
  std::vector<InstrumentSummary> seen = Instruments(error);
  for (InstrumentSummary& instrument : seen) instrument = {instrument.serial, {}, instrument.lastSeen, {}, {}};
  return seen;
}

}  // namespace kv::history
