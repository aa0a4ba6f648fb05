#pragma once
// The fleet as the history holds it, gathered once for every view of it:
// `kvmaint fleet due|audit|serve` and the History window.
#include <map>
#include <optional>
#include <string>

#include "fleet/fleet_due.h"
#include "history/history_store.h"
#include "model/instrument.h"

namespace kv::report {

// Every instrument of the history (a serial number it recorded), with the
// record of its latest read.
struct FleetView {
  std::vector<fleet::FleetInstrument> instruments;
  std::map<std::string, clsInstrument> latestReads;  // by serial number
};

// Reads only what the view shows (the fleet queries of the store); nullopt
// with `error` set when the history could not be asked.
std::optional<FleetView> GatherFleet(history::Store& store, std::string* error);

// Whether a judged instrument is due or overdue (never calibrated counts as overdue).
bool DueOrOverdue(const fleet::InstrumentDue& due);

}  // namespace kv::report
