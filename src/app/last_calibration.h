#pragma once
// Each instrument's last calibration as the instruments date them, for the
// history window: the latest date of any channel in the history's
// calibration events (the instrument's own calibration history, and the
// zero and span results recorded since), not merely when one was started.
#include <map>
#include <string>

#include "history/history_store.h"

namespace kv {

// Serial number -> its date as event times are written ("2026-02-01 11:00:00"); an instrument without a dated
// calibration is left out. `error` says why the events could not be read.
std::map<std::string, std::string> LastCalibrations(history::Store& store, std::string* error);

}  // namespace kv
