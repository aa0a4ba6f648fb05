#include "qtedge/link_ticker.h"

#include "link/link.h"
#include "qtedge/qt_serial_transport.h"

namespace kv {

LinkTicker::LinkTicker(uclTzif& link, QtSerialTransport* lines, QObject* parent)
    : QObject(parent), link_(link), lines_(lines) {
  timer_.setInterval(kIntervalMs);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &LinkTicker::OnTimeout);
}

void LinkTicker::OnTimeout() {
  if (lines_ != nullptr) {
    lines_->PollModemLines();
  }
  link_.Tick();
}

}  // namespace kv
