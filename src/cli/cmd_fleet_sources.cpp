#include "cli/cmd_fleet_sources.h"

#include <limits>

#include "cli/cli_io.h"
#include "qtedge/data_folder.h"
#include "report/calibration_events.h"
#include "report/fleet_view.h"

namespace kv::cli {

fleet::CalibrationDefaults CalibrationDefaultsOf(const QCommandLineParser& parser) {
  const std::optional<std::filesystem::path> folder = ResolveDataFolder(parser.value(QStringLiteral("data-dir")));
  if (!folder) return {};
  return fleet::CalibrationDefaults::Load(folder->string());
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
  std::optional<FleetView> view = report::GatherFleet(store, &error);
  if (!view) PrintError("cannot read the history: " + error);
  return view;
}

}  // namespace kv::cli
