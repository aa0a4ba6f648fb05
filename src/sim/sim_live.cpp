#include "sim/sim_live.h"

#include <algorithm>
#include <cmath>

#include "protocol/codecs.h"

namespace kv::sim {
namespace {

constexpr double kOxygenInAir = 20.9;     // vol%
constexpr double kNoiseShare = 0.02;      // of the full scale
constexpr double kDriftPerStep = 0.0005;  // of the full scale
constexpr double kDriftLimit = 0.03;      // of the full scale
constexpr double kStepAngle = 0.7;        // radians per step: readings never repeat soon

bool IsOxygen(const clsInstrument& r, int channel) {
  const Text name = r.GasName(channel);
  return name.rfind("O2", 0) == 0;
}

}  // namespace

LiveReadings::Values LiveReadings::Next(const clsInstrument& settings) {
  ++step_;
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    const auto k = static_cast<std::size_t>(channel);
    if (settings.GasType(channel) == kGasTypeNone) {
      last_[k] = kCodeDDDD;
      continue;
    }
    const double fullScale = std::max(0.0, static_cast<double>(settings.GasFullScale(channel)));
    drift_[k] = std::min(drift_[k] + kDriftPerStep * fullScale, kDriftLimit * fullScale);
    const double wave = std::sin(static_cast<double>(step_) * kStepAngle + channel);
    double value = 0.0;
    if (IsOxygen(settings, channel)) {
      value = kOxygenInAir - drift_[k] + 0.1 * wave;  // oxygen sensors drift downwards
    } else {
      value = drift_[k] + kNoiseShare * fullScale * (0.5 + 0.5 * wave);
    }
    value = std::clamp(value, 0.0, fullScale > 0.0 ? fullScale : kOxygenInAir);
    last_[k] = static_cast<Single>(value);
  }
  return last_;
}

}  // namespace kv::sim
