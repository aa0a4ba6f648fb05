#include "sim/sim_line.h"

#include <filesystem>

#include "protocol/field_parse.h"
#include "sim/sim_state_file.h"

namespace kv::sim {

bool LoadLineInstrument(const std::string& path, clsInstrument& settings, std::string* error) {
  if (!LoadStateFile(path, settings, error)) return false;
  settings.SetSerialNo(std::filesystem::path(path).stem().string());
  settings.ClearChangeFlags();
  return true;
}

bool SimLine::Advance(SimInstrument& instrument) {
  if (current_ >= states_.size()) return false;
  states_[current_] = instrument.Device().Settings();
  if (current_ + 1 >= states_.size()) {
    current_ = states_.size();
    return false;
  }
  ++current_;
  instrument.PowerOnAs(states_[current_]);
  return true;
}

std::vector<clsInstrument> SimLine::FinalStates(const SimInstrument& instrument) const {
  std::vector<clsInstrument> states = states_;
  if (current_ < states.size()) states[current_] = instrument.Device().Settings();
  return states;
}

bool SimLine::SaveFinalStates(const std::string& folder, const SimInstrument& instrument,
                              std::string* error) const {
  for (const clsInstrument& state : FinalStates(instrument)) {
    const std::string path = folder + "/" + Trim(state.SerialNo()) + ".kvd";
    if (!SaveStateFile(path, state, error)) return false;
  }
  return true;
}

}  // namespace kv::sim
