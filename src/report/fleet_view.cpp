#include "report/fleet_view.h"

#include "files/kvd_reader.h"
#include "fleet/calibration_merge.h"
#include "report/calibration_events.h"

namespace kv::report {

std::optional<FleetView> GatherFleet(history::Store& store, std::string* error) {
  std::string failure;
  const std::vector<history::InstrumentSummary> summaries = store.LastSeen(&failure);
  std::vector<history::Event> reads;
  if (failure.empty()) reads = store.LatestReads(&failure);
  std::vector<history::Event> calibrations;
  if (failure.empty()) calibrations = store.CalibrationEvents(&failure);
  if (!failure.empty()) {
    if (error != nullptr) *error = failure;
    return std::nullopt;
  }
  FleetView view;
  std::map<std::string, history::Event> latestReadEvents;  // without their snapshots
  for (history::Event& read : reads) {
    clsInstrument record;
    ReadMaintenanceText(record, read.snapshot);
    view.latestReads.emplace(read.serial, std::move(record));
    read.snapshot.clear();
    latestReadEvents.emplace(read.serial, std::move(read));
  }
  std::map<std::string, std::vector<history::Event>> calibrationsBySerial;
  for (history::Event& event : calibrations) calibrationsBySerial[event.serial].push_back(std::move(event));
  for (const history::InstrumentSummary& summary : summaries) {
    if (summary.serial.empty()) continue;  // events of instruments that did not say their serial
    fleet::FleetInstrument instrument{summary.serial, {}, summary.lastSeen, {}, std::nullopt, {}};
    if (const auto read = latestReadEvents.find(summary.serial); read != latestReadEvents.end()) {
      instrument.model = read->second.model;
      instrument.lastRead = read->second.time;
    }
    if (const auto read = view.latestReads.find(summary.serial); read != view.latestReads.end()) {
      instrument.calibrationLimit = read->second.CalLimit();
      instrument.calibrations = fleet::CalibrationsOf(read->second);
    }
    if (const auto found = calibrationsBySerial.find(summary.serial); found != calibrationsBySerial.end()) {
      if (instrument.model.empty()) instrument.model = found->second.back().model;
      if (const auto known = CalibrationsInHistory(found->second)) {
        fleet::MergeLatest(instrument.calibrations, *known);
      }
    }
    view.instruments.push_back(std::move(instrument));
  }
  return view;
}

bool DueOrOverdue(const fleet::InstrumentDue& due) {
  if (!due.deciding) return false;
  const fleet::DueState state = due.deciding->state;
  return state == fleet::DueState::Overdue || state == fleet::DueState::Never || state == fleet::DueState::DueSoon;
}

}  // namespace kv::report
