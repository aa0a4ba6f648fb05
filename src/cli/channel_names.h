#pragma once
// The channels as the technician knows them: by gas name and unit, read from
// the instrument before readings or calibration results are shown.
#include <string>

#include "link/channel_descriptions.h"
#include "model/instrument.h"

namespace kv::cli {

// The gas name of channel 0..6 without padding ("CH4"), or "ch1".. when the
// instrument gave none.
std::string ChannelName(const clsInstrument& record, int channel);

}  // namespace kv::cli
