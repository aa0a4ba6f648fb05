#pragma once
// One session with the instrument, shared by every instrument command: the
// port, the link with its 100 ms tick, the connect, running a transaction to
// its end, progress on stderr and Ctrl-C. The port, clock, tick and wait come
// from SessionServices (the serial port in real time, or a test's simulator
// in virtual time).
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "cli/cli_io.h"
#include "cli/progress_line.h"
#include "cli/link_options.h"
#include "cli/session_services.h"
#include "link/link.h"
#include "link/task.h"

namespace kv::cli {

enum class Outcome { Done, Failed, Interrupted };

class InstrumentSession final : private LinkListener {
 public:
  // The serial settings of the USB infrared adapter.
  static constexpr std::string_view kAdapterSettings = "921600,n,8,1";

  InstrumentSession(const LinkOptions& options, std::unique_ptr<SessionServices> services);
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
  // What the last transaction waited for: answers to commands, or a raw
  // image stream (never resent) that had or had not started.
  enum class Awaited { Answers, StreamNotStarted, StreamStarted };
  // Why the last transaction failed: "<command>: <what happened>". A stream
  // that had started and fell silent is said as such, with the stream silence
  // limit; one that never started, with the reply time-out and no resends.
  std::string FailureText(Awaited awaited = Awaited::Answers) const;

  uclTzif& Link() { return link_; }

  // Ctrl-C only cancels the link and Run waits for the transaction to wind
  // down (a dump drains the stream); otherwise Ctrl-C closes the port at once.
  void SetWindDownOnInterrupt(bool windDown) { windDownOnInterrupt_ = windDown; }

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
  std::unique_ptr<SessionServices> services_;
  uclTzif link_{services_->Port(), services_->Time()};
  ProgressLine progress_;

  bool connected_ = false;
  bool connectGaveUp_ = false;
  bool lineLost_ = false;
  bool transactionDone_ = false;
  bool transactionResult_ = false;
  bool windDownOnInterrupt_ = false;
  std::function<void(const std::array<Single, kSensorChannels>&)> readingsObserver_;
};

}  // namespace kv::cli
