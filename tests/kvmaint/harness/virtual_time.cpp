#include "kvmaint/harness/virtual_time.h"

#include <algorithm>
#include <utility>

#include "link/link.h"
#include "qtedge/link_ticker.h"

namespace kv::inproc {

void VirtualTime::StartTicks(uclTzif& link) {
  // As LinkTicker does before each tick.
  StartTicks([&link] {
    link.Port().PollModemLines();
    link.Tick();
  });
}

void VirtualTime::StartTicks(std::function<void()> tick) {
  tick_ = std::move(tick);
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
    tick_();
  }
  return true;
}

}  // namespace kv::inproc
