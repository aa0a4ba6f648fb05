#pragma once
// A line of instruments placed on the adapter one after another: after a
// power off the simulator comes back as the next one, on the same device.
#include <string>
#include <vector>

#include "model/instrument.h"
#include "sim/sim_instrument.h"

namespace kv::sim {

// An instrument of a line from its state file: the file's settings, and the
// file's name (without ".kvd") as its serial number, which a maintenance data
// file does not carry.
bool LoadLineInstrument(const std::string& path, clsInstrument& settings, std::string* error);

class SimLine {
 public:
  explicit SimLine(std::vector<clsInstrument> instruments) : states_(std::move(instruments)) {}

  bool Empty() const { return states_.empty(); }
  // The instrument on the adapter first.
  const clsInstrument& First() const { return states_.front(); }
  // Keeps the final state of the instrument on the adapter and switches on
  // the next one. False, leaving `instrument` off, once the line has ended.
  bool Advance(SimInstrument& instrument);
  // Every instrument's state: as it was left, or as loaded when it never
  // came on.
  std::vector<clsInstrument> FinalStates(const SimInstrument& instrument) const;
  // Writes each final state as DIR/<serial>.kvd.
  bool SaveFinalStates(const std::string& folder, const SimInstrument& instrument,
                       std::string* error) const;

 private:
  std::vector<clsInstrument> states_;
  std::size_t current_ = 0;
};

}  // namespace kv::sim
