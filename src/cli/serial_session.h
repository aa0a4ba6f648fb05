#pragma once
// kvmaint's own session services: the serial port, the system clock, the
// QTimer tick, the Qt event loop and the signals that interrupt a run.
#include <QEventLoop>
#include <memory>

#include "cli/session_services.h"
#include "qtedge/interrupt_watch.h"
#include "qtedge/link_ticker.h"
#include "qtedge/qt_serial_transport.h"

namespace kv::cli {

class SerialSession final : public SessionServices {
 public:
  SerialSession() = default;

  Transport& Port() override { return serial_; }
  const Clock& Time() const override { return clock_; }
  void SetPortName(const QString& port) override { serial_.SetPortName(port); }
  void StartTicks(uclTzif& link) override;
  void StopTicks() override;
  void RunUntil(const std::function<bool()>& finished) override;
  void RunAfterInterrupt(const std::function<bool()>& finished) override;
  void Wake() override;
  void SetInterruptHandler(std::function<void()> handler) override {
    interrupts_.SetHandler(std::move(handler));
  }
  bool Interrupted() const override { return interrupts_.Interrupted(); }

 private:
  SystemClock clock_;
  QtSerialTransport serial_;
  std::unique_ptr<LinkTicker> ticker_;
  InterruptWatch interrupts_;
  QEventLoop loop_;
};

}  // namespace kv::cli
