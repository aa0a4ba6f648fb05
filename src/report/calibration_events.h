#pragma once
// The calibrations the history knows of one instrument: the instrument's own
// calibration history as `kvmaint cal-history` recorded it (its JSON detail),
// and the zero and span results recorded since.
#include <optional>
#include <string_view>
#include <vector>

#include "fleet/calibration_due.h"
#include "history/history_store.h"

namespace kv::report {

// The channels of a "calibration-history" event's detail; nullopt when the
// detail is not the JSON cal-history records.
std::optional<std::vector<fleet::ChannelCalibration>> CalibrationsFromDetail(std::string_view detail);

// The latest calibration of each channel in `events` (one instrument's, any
// order): successful calibration-history, zero and span events; nullopt when
// there is none.
std::optional<std::vector<fleet::ChannelCalibration>> CalibrationsInHistory(
    const std::vector<history::Event>& events);

}  // namespace kv::report
