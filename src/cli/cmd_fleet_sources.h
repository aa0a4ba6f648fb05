#pragma once
// What the report and the fleet commands take from the data folder and the
// history: the calibration intervals of KVMaintenance.ini and one
// instrument's calibrations.
#include <QCommandLineParser>
#include <optional>
#include <string>
#include <vector>

#include "fleet/calibration_due.h"
#include "fleet/fleet_due.h"
#include "history/history_store.h"
#include "report/fleet_view.h"
#include "model/instrument.h"

namespace kv::cli {

// [Fleet] of the data folder's KVMaintenance.ini (--data-dir); none when the
// folder or file cannot be read.
fleet::CalibrationDefaults CalibrationDefaultsOf(const QCommandLineParser& parser);

// The calibrations the history knows of `serial`; nullopt when none (or the
// history could not be asked, said on stderr).
std::optional<std::vector<fleet::ChannelCalibration>> HistoryCalibrations(history::Store& store,
                                                                           const std::string& serial);

using report::FleetView;

// The fleet as the history holds it; nullopt after saying on stderr why not.
std::optional<FleetView> GatherFleet(history::Store& store);

}  // namespace kv::cli
