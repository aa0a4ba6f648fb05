#pragma once
// The fleet at a glance: every instrument the history knows, when it was
// last seen and read, and whether its calibration is due.
#include <optional>
#include <string>
#include <vector>

#include "fleet/calibration_due.h"

namespace kv::fleet {

// One instrument as the history knows it.
struct FleetInstrument {
  std::string serial;
  std::string model;
  std::string lastSeen;  // "yyyy-MM-dd HH:mm:ss"
  std::string lastRead;  // "" when never read
  // The "Calibration Time Limit(0-365days)" of its latest read; nullopt when never read.
  std::optional<int> calibrationLimit;
  // Each sensor slot (gas, fitted) of its latest read, with the latest
  // successful calibration of each channel the history holds.
  std::vector<ChannelCalibration> calibrations;
};

struct FleetDue {
  const FleetInstrument* instrument = nullptr;
  InstrumentDue due;
};

// Every instrument judged at `now`; `withinDays` makes "due within N days".
std::vector<FleetDue> JudgeFleet(const std::vector<FleetInstrument>& fleet, const CalibrationDefaults& defaults,
                                 const DateTime& now, int withinDays);

// "STD1 CH4" for the deciding channel, "" when none decides.
std::string ChannelLabel(const ChannelCalibration& calibration);

}  // namespace kv::fleet
