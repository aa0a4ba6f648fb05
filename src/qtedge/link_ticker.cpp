#include "qtedge/link_ticker.h"

#include "link/link.h"

namespace kv {

LinkTicker::LinkTicker(uclTzif& link, QObject* parent) : QObject(parent), link_(link) {
  timer_.setInterval(kIntervalMs);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &LinkTicker::OnTimeout);
}

void LinkTicker::OnTimeout() {
  link_.Port().PollModemLines();
  link_.Tick();
}

}  // namespace kv
