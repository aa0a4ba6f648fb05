#pragma once
// The channels as the technician knows them: what names and scales each
// channel's readings and calibration results, read before they are shown.
#include "link/link.h"
#include "link/task.h"
#include "model/instrument.h"

namespace kv {

enum class ChannelReads {
  Descriptions,           // gas types, decimal places, names, full scales, units, catalytic constants
  DescriptionsAndLevels,  // also which channels are enabled and their warning and alarm levels
};

// Reads the channel descriptions into `record`; false when a read failed.
Transaction ReadChannelDescriptions(uclTzif& link, clsInstrument& record,
                                    ChannelReads what = ChannelReads::Descriptions);
// The same read, to be awaited inside a longer transaction.
Task<bool> ReadChannels(uclTzif& link, clsInstrument& record, ChannelReads what);

}  // namespace kv
