#pragma once
// The live readings, one polling loop for the window's Live Readings and
// `kvmaint live`: the channel descriptions first (the readings are scaled
// and named by them), then "DN,R," once a second into the record.
#include <functional>

#include "link/channel_descriptions.h"
#include "link/link.h"
#include "link/task.h"
#include "model/instrument.h"

namespace kv::ops {

struct LiveRequest {
  ChannelReads channels = ChannelReads::Descriptions;  // with the levels for a plot
  int count = 0;                 // readings to take; 0: until stopped
  const bool* stop = nullptr;    // looked at after each exchange and pause
  std::function<void()> onChannels;  // once, when the descriptions are in
  std::function<void()> onReadings;  // after each reading (record.LimitValue)
};

// True when the count was reached or the stop seen; false at the first
// exchange that failed. Not recorded in the history: it changes nothing.
Task<bool> PollLive(uclTzif& link, clsInstrument& record, const LiveRequest& request);
Transaction RunLive(uclTzif& link, clsInstrument& record, const LiveRequest& request);

}  // namespace kv::ops
