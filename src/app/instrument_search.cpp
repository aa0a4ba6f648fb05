#include "app/instrument_search.h"

#include <optional>
#include <utility>

namespace kv {

InstrumentSearch::InstrumentSearch(uclTzif& link, std::function<void()> lookAgain)
    : link_(link), lookAgain_(std::move(lookAgain)) {}

bool InstrumentSearch::Waiting() const { return link_.State() == LinkState::Offline; }

int InstrumentSearch::TicksBeforeLooking() const {
  if (!link_.PortOpen()) return kPauseTicks;
  const std::optional<ModemLines> lines = link_.Port().ReadModemLines();
  if (!lines) return kPauseTicks;
  return lines->AnyUp() ? uclTzif::kConnectDelayTicks + kPauseTicks : -1;
}

void InstrumentSearch::Tick() {
  if (paused_ || !Waiting() || link_.TaskRunning()) {
    idleTicks_ = 0;
    return;
  }
  ++idleTicks_;
  const int wait = TicksBeforeLooking();
  if (wait < 0 || idleTicks_ < wait) return;
  idleTicks_ = 0;
  lookAgain_();
}

void InstrumentSearch::LookNow() {
  if (paused_ || link_.TaskRunning()) return;
  idleTicks_ = 0;
  link_.Reset();
  lookAgain_();
}

void InstrumentSearch::SetPaused(bool paused) {
  paused_ = paused;
  idleTicks_ = 0;
}

}  // namespace kv
