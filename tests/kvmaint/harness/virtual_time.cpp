#include "kvmaint/harness/virtual_time.h"

#include <algorithm>

#include "link/link.h"
#include "qtedge/link_ticker.h"

namespace kv::inproc {

void VirtualTime::StartTicks(uclTzif& link) {
  link_ = &link;
  ticking_ = true;
  nextTickMs_ = sim_.NowMs() + LinkTicker::kIntervalMs;
}

bool VirtualTime::Step(long long limitMs) {
  if (sim_.DeliverDue()) return true;
  std::optional<long long> next = sim_.NextEventMs();
  if (ticking_) next = std::min(next.value_or(nextTickMs_), nextTickMs_);
  if (!next || *next > limitMs) return false;
  sim_.AdvanceTo(*next);
  if (ticking_ && sim_.NowMs() >= nextTickMs_) {
    nextTickMs_ += LinkTicker::kIntervalMs;
    // As LinkTicker does before each tick.
    link_->Port().PollModemLines();
    link_->Tick();
  }
  return true;
}

}  // namespace kv::inproc
