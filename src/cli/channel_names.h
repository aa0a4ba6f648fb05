#pragma once
// The channels as the technician knows them: by gas name and unit, read from
// the instrument before readings or calibration results are shown.
#include <string>

#include "link/link.h"
#include "link/task.h"
#include "model/instrument.h"

namespace kv::cli {

// Reads the gas types, decimal places, the name, full scale and unit of every
// channel and the catalytic settings into `record`.
Transaction ReadChannelDescriptions(uclTzif& link, clsInstrument& record);

// The gas name of channel 0..6 without padding ("CH4"), or "ch1".. when the
// instrument gave none.
std::string ChannelName(const clsInstrument& record, int channel);

}  // namespace kv::cli
