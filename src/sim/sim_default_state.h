#pragma once
// The settings of the demonstration instrument the simulator starts with when
// no maintenance data file is given: a fully equipped KORVIN with catalytic,
// oxygen, H2S and CO sensors, an infrared CO2 sensor with a high range, a PID
// sensor and one empty sensor slot.
#include "model/instrument.h"

namespace kv::sim {

clsInstrument MakeDemoInstrument();

}  // namespace kv::sim
