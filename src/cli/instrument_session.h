#pragma once
// One session with the instrument, shared by every instrument command: the
// serial port, the link with its 100 ms tick, the connect, running a
// transaction on the event loop, progress on stderr and Ctrl-C.
#include <QEventLoop>
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "cli/cli_io.h"
#include "cli/progress_line.h"
#include "cli/link_options.h"
#include "common/clock.h"
#include "link/link.h"
#include "link/task.h"
#include "qtedge/interrupt_watch.h"
#include "qtedge/link_ticker.h"
#include "qtedge/qt_serial_transport.h"

namespace kv::cli {

enum class Outcome { Done, Failed, Interrupted };

class InstrumentSession final : private LinkListener {
 public:
  // The serial settings of the USB infrared adapter.
  static constexpr std::string_view kAdapterSettings = "921600,n,8,1";

  explicit InstrumentSession(const LinkOptions& options);
  ~InstrumentSession() override;
  InstrumentSession(const InstrumentSession&) = delete;
  InstrumentSession& operator=(const InstrumentSession&) = delete;

  // Opens `port` and lets the link's connect sequence probe until the
  // instrument answers. On failure the reason has been printed.
  Outcome Connect(const QString& port);
  // Only opens `port` and starts the tick: a transaction that waits for
  // instruments itself (station mode) connects on its own.
  Outcome OpenPort(const QString& port);
  // Runs a transaction of the link to its end; `progressLabel` names the
  // progress shown on a terminal ("Reading").
  Outcome Run(Transaction transaction, std::string progressLabel);
  // Why the last transaction failed: "<command>: <what happened>". After a
  // raw image stream (`stream`), which is never resent, silence is said as
  // such.
  std::string FailureText(bool stream = false) const;

  uclTzif& Link() { return link_; }

  // Live readings of the seven channels ("DN,R").
  void SetReadingsObserver(std::function<void(const std::array<Single, kSensorChannels>&)> observer) {
    readingsObserver_ = std::move(observer);
  }

 private:
  void Wait(const std::function<bool()>& finished);
  void Wake();
  void OnInterrupt();

  // LinkListener
  void OnConnect() override;
  void AlarmMessage(const std::string& text) override;
  void InstMessage(const std::string& text) override;
  void InterMessage(const std::string& text) override;
  void LinkLost() override;
  void Densty(const std::array<Single, kSensorChannels>& values) override;
  void Progress(int done, int total) override;

  LinkOptions options_;
  SystemClock clock_;
  QtSerialTransport serial_;
  uclTzif link_{serial_, clock_};
  LinkTicker ticker_;
  InterruptWatch interrupts_;
  QEventLoop loop_;
  ProgressLine progress_;

  bool connected_ = false;
  bool connectGaveUp_ = false;
  bool lineLost_ = false;
  bool transactionDone_ = false;
  bool transactionResult_ = false;
  std::function<void(const std::array<Single, kSensorChannels>&)> readingsObserver_;
};

}  // namespace kv::cli
