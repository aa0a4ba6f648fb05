#pragma once
// The latest calibration of each channel gathered from several sources (the
// instrument's own calibration history, zero and span results in the
// history): the latest date per channel wins.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/datetime.h"
#include "fleet/calibration_due.h"

namespace kv::fleet {

// "yyyy/MM/dd HH:mm:ss" (the instrument's dates) or "yyyy-MM-dd HH:mm:ss"
// (the history's event times); nullopt for anything else.
std::optional<DateTime> ParseDateTime(std::string_view text);

// Takes from `evidence` every channel calibrated later than `into` knows it
// (a channel `into` lacks is added); `into` stays ordered by channel.
void MergeLatest(std::vector<ChannelCalibration>& into, const std::vector<ChannelCalibration>& evidence);

// Each channel's status in a zero or span result's detail ("1  CH4  0; 2  OXY  -"):
// by channel from 0, the gas name and the status ("-": none reported).
struct ChannelStatus {
  int channel = 0;
  std::string gas;
  std::string status;
};
std::vector<ChannelStatus> ResultStatuses(std::string_view detail);
// Whether a result's status says the channel was calibrated.
bool Calibrated(const ChannelStatus& status);

// The channels a zero or span result calibrated: its detail lists each
// channel as "1  CH4  0" separated by "; ", status 0 meaning calibrated.
std::vector<ChannelCalibration> CalibratedChannels(std::string_view detail, const DateTime& when);

}  // namespace kv::fleet
