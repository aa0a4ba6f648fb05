#pragma once
// Live gas readings of the simulated detector: each fitted sensor rests near
// its clean-air value (20.9 vol% for oxygen, zero for the others) with a small
// wandering noise and a slow drift that a zero calibration removes. The
// sequence is deterministic, so tests see the same readings every run.
#include <array>

#include "model/instrument.h"

namespace kv::sim {

class LiveReadings {
 public:
  using Values = std::array<Single, kSensorChannels>;

  // Advances one step and returns the reading of every sensor channel in the
  // channel's units; a channel without a sensor reads the DDDD code (-121).
  Values Next(const clsInstrument& settings);
  // The readings returned by the last Next (all zero before the first).
  const Values& Last() const { return last_; }
  // A zero calibration: the drift of every channel is gone.
  void Zero() { drift_.fill(0.0); }

 private:
  long step_ = 0;
  std::array<double, kSensorChannels> drift_{};
  Values last_{};
};

}  // namespace kv::sim
