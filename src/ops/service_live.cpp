#include "ops/service_live.h"

#include "link/transactions.h"

namespace kv::ops {

Task<bool> PollLive(uclTzif& link, clsInstrument& record, const LiveRequest& request) {
  const bool described = co_await ReadChannels(link, record, request.channels);
  if (!described) co_return false;
  if (request.stop != nullptr && *request.stop) co_return true;
  if (request.onChannels) request.onChannels();
  const bool polled = co_await PollDensities(link, record, request.count, request.stop, request.onReadings);
  co_return polled;
}

Transaction RunLive(uclTzif& link, clsInstrument& record, const LiveRequest& request) {
  const bool ok = co_await PollLive(link, record, request);
  co_return ok;
}

}  // namespace kv::ops
