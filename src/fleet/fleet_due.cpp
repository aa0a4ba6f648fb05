#include "fleet/fleet_due.h"

namespace kv::fleet {

std::vector<FleetDue> JudgeFleet(const std::vector<FleetInstrument>& fleet, const CalibrationDefaults& defaults,
                                 const DateTime& now, int withinDays) {
  std::vector<FleetDue> judged;
  judged.reserve(fleet.size());
  for (const FleetInstrument& instrument : fleet) {
    judged.push_back({&instrument, JudgeInstrument(instrument.calibrations, instrument.calibrationLimit,
                                                   defaults, now, withinDays)});
  }
  return judged;
}

std::string ChannelLabel(const ChannelCalibration& calibration) {
  const std::string number = "ch" + std::to_string(calibration.channel + 1);
  return calibration.gas.empty() ? number : number + " " + calibration.gas;
}

}  // namespace kv::fleet
