#pragma once
// The channels as the technician knows them: by gas name and unit, read from
// the instrument before readings or calibration results are shown.
#include <string>

#include "link/channel_descriptions.h"
#include "model/instrument.h"

namespace kv::cli {

// Channel 0..6 by the name the grids give it ("CH4", the fixed sensors
// "OXY", "H2S", "CO"), or "ch1".. when the instrument gave none.
std::string ChannelName(const clsInstrument& record, int channel);

}  // namespace kv::cli
