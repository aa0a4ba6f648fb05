#pragma once
// The simulated instrument as kvsim's options make it: its settings (--state,
// a --line of instruments), its faults and memory images; switching it on
// again after a power off; and what it leaves behind (--state-out,
// --line-out). kvsim serves it on a pseudo-terminal, the tests in process.
#include <memory>
#include <string>

#include "common/clock.h"
#include "sim/sim_instrument.h"
#include "sim/sim_line.h"
#include "sim/sim_options.h"

namespace kv::sim {

class SimSetup {
 public:
  // Null, with `error` set, when a file named by the options cannot be used.
  static std::unique_ptr<SimSetup> Make(const SimOptions& options, const Clock& clock,
                                        std::string* error);

  SimInstrument& Instrument() { return instrument_; }
  const SimOptions& Options() const { return options_; }

  // Back on after a power off: the same instrument, or the next of the line.
  // False, leaving it off, once the line has ended.
  bool SwitchOn();

  // --state-out: the settings as they are now; true when not asked for.
  bool SaveState(std::string* error) const;
  // --line-out: each instrument's final state; true when not asked for.
  bool SaveLine(std::string* error) const;

 private:
  SimSetup(const SimOptions& options, const Clock& clock, clsInstrument settings, SimLine line);

  SimOptions options_;
  SimLine line_;
  SimInstrument instrument_;
};

}  // namespace kv::sim
