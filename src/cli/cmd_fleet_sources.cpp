#include "cli/cmd_fleet_sources.h"

#include <limits>

#include "cli/cli_io.h"
#include "files/configuration.h"
#include "files/ini_file.h"
#include "files/kvd_reader.h"
#include "history/history_event.h"
#include "fleet/calibration_merge.h"
#include "qtedge/data_folder.h"
#include "report/calibration_events.h"

namespace kv::cli {

fleet::CalibrationDefaults CalibrationDefaultsOf(const QCommandLineParser& parser) {
  const std::optional<std::filesystem::path> folder = ResolveDataFolder(parser.value(QStringLiteral("data-dir")));
  if (!folder) return {};
  return fleet::CalibrationDefaults::Load(folder->string());
}

std::string TechnicianOf(const QCommandLineParser& parser, const history::Event& calibration) {
  if (const std::optional<std::filesystem::path> folder = ResolveDataFolder(parser.value(QStringLiteral("data-dir")))) {
    std::string configured = GetProfileString("Fleet", "Technician", "", ConfigurationPath(folder->string()));
    if (!configured.empty()) return configured;
  }
  return calibration.user.empty() ? history::CurrentUser() : calibration.user;
}

std::optional<std::vector<fleet::ChannelCalibration>> HistoryCalibrations(history::Store& store,
                                                                           const std::string& serial) {
  std::string error;
  // The list without snapshots: a calibration keeps none, and an instrument
  // read ten thousand times would otherwise load every read's file.
  const std::vector<history::Event> events =
      store.EventList(serial, 0, std::numeric_limits<std::size_t>::max(), &error);
  if (!error.empty()) {
    PrintError("calibrations not taken from the history: " + error);
    return std::nullopt;
  }
  return report::CalibrationsInHistory(events);
}

std::optional<FleetView> GatherFleet(history::Store& store) {
  std::string error;
  const std::vector<history::InstrumentSummary> summaries = store.LastSeen(&error);
  std::vector<history::Event> reads;
  if (error.empty()) reads = store.LatestReads(&error);
  std::vector<history::Event> calibrations;
  if (error.empty()) calibrations = store.CalibrationEvents(&error);
  if (!error.empty()) {
    PrintError("cannot read the history: " + error);
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
      if (const auto known = report::CalibrationsInHistory(found->second)) {
        fleet::MergeLatest(instrument.calibrations, *known);
      }
    }
    view.instruments.push_back(std::move(instrument));
  }
  return view;
}

}  // namespace kv::cli
