#include "sim/sim_setup.h"

#include <utility>
#include <vector>

#include "sim/sim_default_state.h"
#include "sim/sim_dump_files.h"
#include "sim/sim_state_file.h"

namespace kv::sim {
namespace {

// --calibrated-days-ago: every fitted channel calibrated that long before `now`.
void SetCalibrationAge(clsInstrument& settings, int daysAgo, const DateTime& now) {
  if (daysAgo < 0) return;
  constexpr long long kSecondsPerDay = 24LL * 60 * 60;
  const Date calibrated = ToSerialDate(AddSeconds(now, -daysAgo * kSecondsPerDay));
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    if (settings.GasType(channel) == kGasTypeNone) continue;
    [[maybe_unused]] const bool stored = settings.SetCalibDate(channel, calibrated);
  }
}

}  // namespace

std::unique_ptr<SimSetup> SimSetup::Make(const SimOptions& options, const Clock& clock,
                                         std::string* error) {
  clsInstrument settings = MakeDemoInstrument();
  if (!options.statePath.empty() && !LoadStateFile(options.statePath, settings, error)) {
    return nullptr;
  }
  std::vector<clsInstrument> lineStates;
  SetCalibrationAge(settings, options.calibratedDaysAgo, clock.Now());
  for (const std::string& path : options.linePaths) {
    if (!LoadLineInstrument(path, settings, error)) return nullptr;
    SetCalibrationAge(settings, options.calibratedDaysAgo, clock.Now());
    lineStates.push_back(settings);
  }
  SimLine line(std::move(lineStates));
  if (!line.Empty()) settings = line.First();
  std::unique_ptr<SimSetup> setup(new SimSetup(options, clock, std::move(settings), std::move(line)));
  if (!WriteMemoryImages(options, setup->instrument_.Device().Settings(), error)) return nullptr;
  return setup;
}

SimSetup::SimSetup(const SimOptions& options, const Clock& clock, clsInstrument settings, SimLine line)
    : options_(options),
      line_(std::move(line)),
      instrument_(clock, std::move(settings), options.device, options.faults) {
  instrument_.SetDumpFaults(options.dumpFaults);
  instrument_.SetSwitchesOff(true);
}

bool SimSetup::SwitchOn() {
  if (line_.Empty()) {
    instrument_.PowerOn();
    return true;
  }
  return line_.Advance(instrument_);
}

bool SimSetup::SaveState(std::string* error) const {
  return options_.stateOutPath.empty() ||
         SaveStateFile(options_.stateOutPath, instrument_.Device().Settings(), error);
}

bool SimSetup::SaveLine(std::string* error) const {
  return options_.lineOutFolder.empty() || line_.SaveFinalStates(options_.lineOutFolder, instrument_, error);
}

}  // namespace kv::sim
