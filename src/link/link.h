#pragma once
// uclTzif, the communication control: owns the session with one instrument.
// It finds the instrument on its own (probing with "RC,R," once the port is up),
// guards every command with a reply time-out and a retry budget, cuts received
// bytes into frames, hands each frame to the reply dispatcher and answers it
// (acknowledge, negative acknowledge, resend), keeps the session log and raises
// the link's events.
//
// Plain C++, never blocks. It is driven from outside: bytes and line changes
// from the port, and Tick() every 100 ms. Transactions are coroutines: they
// `co_await SendAndWait(sink, ...)` or `co_await WaitTicks(n)` and are resumed
// as soon as Status leaves the waiting value, after the current reception or
// tick has finished with the receive buffer.
//
// The link keeps the session only (state, frames, retries, ticks). What replies
// report goes into the ReplySink the waiting transaction hands to each wait,
// together with the record they fill; a reply while nothing waits reaches no
// record.
#include <array>
#include <coroutine>
#include <functional>
#include <string>
#include <string_view>

#include "common/clock.h"
#include "link/link_listener.h"
#include "link/link_types.h"
#include "link/session_log.h"
#include "link/task.h"
#include "link/transport.h"
#include "protocol/dispatcher.h"
#include "protocol/framing.h"
#include "protocol/reply_sink.h"

namespace kv {

class uclTzif final : public LinkEffects, public TransportEvents {
 public:
  // Applies one complete frame into the sink of the waiting exchange (an
  // empty one, without record, while nothing waits); true when accepted.
  using ReplyHandler = std::function<bool(std::string_view frame, ReplySink& sink)>;
  // Takes the raw bytes that arrive while Status is BinaryTransfer.
  using BinaryReceiver = std::function<void(std::string_view bytes)>;

  static constexpr int kTicksPerSecond = 10;
  // The probe goes out once the tick counter passes this (the 11th tick).
  static constexpr int kProbeWaitTicks = 10;
  // After the modem lines come up the adapter gets 10 s before the sequence starts.
  static constexpr int kConnectDelayTicks = 10 * kTicksPerSecond;
  // The current-reading poll runs once a second.
  static constexpr int kDenstyPollTicks = kTicksPerSecond;
  // The connect probe: "RC,R," and six blanks.
  static constexpr std::string_view kProbeCommand = "RC,R,      ";
  static constexpr std::string_view kDenstyCommand = "DN,R,";
  // A memory pauses between pages: once a dump stream has started, only this
  // much silence ends it (the reply time-out when that is longer).
  static constexpr int kStreamSilenceLimitSeconds = 10;

  uclTzif(Transport& transport, const Clock& clock);
  ~uclTzif() override;
  uclTzif(const uclTzif&) = delete;
  uclTzif& operator=(const uclTzif&) = delete;

  // ---- wiring ------------------------------------------------------------
  void SetListener(LinkListener* listener) { listener_ = listener; }
  // The listener, or one that ignores everything.
  LinkListener& Events();
  // Replaces the dispatcher (tests of the state machine); empty restores it.
  void SetReplyHandler(ReplyHandler handler) { replyHandler_ = std::move(handler); }
  // Memory dumps take the raw bytes; without a receiver an arrival is logged,
  // kept in the waiting sink's receivedBytes and completes the exchange.
  void SetBinaryReceiver(BinaryReceiver receiver) { binaryReceiver_ = std::move(receiver); }
  SessionLog& Log() { return log_; }
  const Clock& GetClock() const { return clock_; }
  Transport& Port() { return transport_; }

  // ---- properties --------------------------------------------------------
  // Reply time-out in seconds; kept in tenths (timer ticks), read back rounded
  // to the nearest second, ties to even.
  int Timeout() const;
  void SetTimeout(int seconds);
  int TimeoutTicks() const { return timeoutTenths_; }
  // The silence that ends a dump stream once it has started, in seconds.
  int StreamSilenceLimit() const;
  void SetStreamSilenceLimit(int seconds);
  // Retry budget of the probe and of every command.
  int Retry() const { return retry_; }
  void SetRetry(int retry) { retry_ = retry < 0 ? 0 : retry; }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool cancel) { cancel_ = cancel; }
  LinkStatus Status() const { return status_; }
  void SetStatus(LinkStatus status);
  // True when Connected, or whenever SerialComm is set: not a sign of a live
  // session (State() is).
  bool Connected() const;
  bool SerialComm() const { return serialComm_; }
  void SetSerialComm(bool serialComm) { serialComm_ = serialComm; }
  // While false, Tick() does nothing (time-outs, connect sequence and waits stop).
  bool TimerEnabled() const { return timerEnabled_; }
  void SetTimerEnabled(bool enabled) { timerEnabled_ = enabled; }
  // The current-reading poll ("DN,R," once a second while idle).
  bool RunDensty() const { return runDensty_; }
  void SetRunDensty(bool run);
  // Cleared by every send, set by every arrival, cleared when a time-out ends
  // a transaction as failed. The window reads it after a failed read.
  bool ReplyReceived() const { return replyReceived_; }

  LinkState State() const { return state_; }
  int RetryCount() const { return retryCount_; }
  int ReplyTicks() const { return replyTicks_; }
  int FaultCount() const { return faultCount_; }
  std::string_view LastLineSent() const override { return lastLineSent_; }

  // ---- port --------------------------------------------------------------
  bool PortOpen() const { return transport_.IsOpen(); }
  // Opening from outside (start-up, after power off) is what brings the lines
  // up; a failure to open is returned with its reason, nothing else.
  OpenResult SetPortOpen(bool open);
  void SetDTREnable(bool on) { transport_.SetDtr(on); }
  void SetRTSEnable(bool on) { transport_.SetRts(on); }
  void SetHandshaking(int mode) { transport_.SetHandshaking(mode); }
  int Handshaking() const { return transport_.Handshaking(); }
  bool SetSettings(std::string_view settings) { return transport_.SetSettings(settings); }
  std::string Settings() const { return transport_.Settings(); }

  // ---- methods -----------------------------------------------------------
  // Status Ready and the tick counter cleared; always false.
  bool DisConnect();
  // Back to Offline and Idle; the last line sent is forgotten.
  void Reset();
  // Sends a framed line. Empties the receive buffer, reloads the reply
  // time-out, remembers the line for resends and acknowledgements, logs it;
  // clears the retry counter when asked.
  void DataSend(std::string_view line, bool resetRetry);
  // The same for a byte array of at least 10 bytes (its bytes 5 to 9 are the
  // command head kept for acknowledgements); false and nothing sent when shorter.
  bool DataSendArry(std::string_view bytes, bool resetRetry);
  void AddLog(std::string_view text) override;

  // ---- driving -----------------------------------------------------------
  // The port was opened from outside: a device without modem lines counts as
  // connected and is probed at once; with lines up the sequence starts after
  // kConnectDelayTicks.
  void OnPortOpened();
  void OnBytesReceived(std::string_view bytes) override;
  void OnModemLinesChanged(bool cts, bool dsr) override;
  void OnSerialFault(SerialFault fault) override;
  // The session tick, every 100 ms.
  void Tick();

  // ---- waiting -----------------------------------------------------------
  class StatusAwaiter;
  class TickAwaiter;

  // Sets Status to `waitStatus` (ReadWaiting or WriteWaiting), sends the
  // command (framed with `block`, terminated by EOT, retry counter cleared) and
  // resumes with the Status that ended the wait: Complete, Failed, Cancelled...
  // Replies arriving until then go into `sink` (a named object of the caller
  // that outlives the wait).
  StatusAwaiter SendAndWait(ReplySink& sink, std::string_view commandText, LinkStatus waitStatus,
                            std::string_view block = "00");
  // The same for a line that is already framed.
  StatusAwaiter SendLineAndWait(ReplySink& sink, std::string line, LinkStatus waitStatus);
  // The same for a byte array (DataSendArry).
  StatusAwaiter SendBytesAndWait(ReplySink& sink, std::string bytes, LinkStatus waitStatus);
  // Resumes once Status is no longer `status` (at once when it is not).
  StatusAwaiter WaitWhileStatus(ReplySink& sink, LinkStatus status);
  // From now on every arrival is raw stream for `receiver` (Status
  // BinaryTransfer, the stream silence limit armed); nothing is sent. What an
  // instrument goes on sending after a cancelled dump is read this way.
  void ReceiveStream(BinaryReceiver receiver);
  // Resumes after `ticks` further session ticks (at once for 0 or less).
  TickAwaiter WaitTicks(int ticks);

  // Runs a transaction to its end; `onDone` gets its result. False (and the
  // transaction is dropped) while another runs or when it is empty.
  bool Start(Transaction transaction, std::function<void(bool)> onDone = {});
  bool TaskRunning() const { return static_cast<bool>(runner_); }

  // ---- LinkEffects ---------------------------------------------------------
  void ConnectReplyReceived() override;
  void ReadingsReceived(const std::array<Single, kSensorChannels>& values) override;
  DateTime Now() const override { return clock_.Now(); }

 private:
  // Every entry point runs inside one; when the outermost ends, a coroutine
  // whose wait is over is resumed. Resuming only there keeps the stack shallow
  // and never lets a transaction run in the middle of a reception scan.
  class DriveScope {
   public:
    explicit DriveScope(uclTzif& link) : link_(link) { ++link_.driveDepth_; }
    ~DriveScope();
    DriveScope(const DriveScope&) = delete;
    DriveScope& operator=(const DriveScope&) = delete;

   private:
    uclTzif& link_;
  };

  enum class WaitKind { None, Status, Ticks };
  enum class SendKind { None, Line, Bytes };
  struct TopLevelRun;

  static TopLevelRun RunTopLevel(uclTzif* link, Transaction transaction,
                                 std::function<void(bool)> onDone);

  // link_wait.cpp
  void ResumeFinishedWait();
  bool WaitIsOver() const;

  // link_reception.cpp
  void ScanReceiveBuffer();
  void HandleFrame(const std::string& frame);
  bool IsReplyToAnotherCommand(std::string_view frame) const;
  void ReceiveBinary(std::string_view bytes);
  bool CancelActs() const;

  // link_connect.cpp
  void ConnectStep();
  void ReopenStep();
  void ReplyTimeoutStep();
  void DenstyStep();
  void ConnectDelayStep();
  void StartConnectSequence(bool probeAtOnce);
  void LinesUp();
  void LinesDropped();
  void LogWithDate(int messageId);
  bool InConnectSequence() const;

  void RememberSent(std::string_view lastLine, std::string_view head, bool resetRetry);
  // Writes a line or byte array; a write the port refuses is the send fault.
  void WriteOrFail(std::string_view bytes);

  Transport& transport_;
  const Clock& clock_;
  SessionLog log_;
  LinkListener* listener_ = nullptr;
  ReplyHandler replyHandler_;
  BinaryReceiver binaryReceiver_;

  int timeoutTenths_ = 0;
  int streamSilenceTenths_ = kStreamSilenceLimitSeconds * kTicksPerSecond;
  int retry_ = 0;
  bool cancel_ = false;
  bool serialComm_ = false;
  bool timerEnabled_ = true;
  bool runDensty_ = false;
  bool replyReceived_ = false;

  LinkStatus status_ = LinkStatus::Idle;
  LinkState state_ = LinkState::Offline;
  int tickCounter_ = 0;
  int retryCount_ = 0;
  int replyTicks_ = 0;
  int faultCount_ = 0;
  int connectDelayTicks_ = 0;  // 0: not armed
  int denstyCountdown_ = 0;

  ReceiveBuffer receiveBuffer_;
  bool scanning_ = false;
  std::string lastLineSent_;
  // The two-letter code of the command whose answer is awaited.
  std::string pendingCode_;

  int driveDepth_ = 0;
  std::coroutine_handle<> waiter_;
  // The sink of the exchange awaited by `waiter_` (null while none is).
  ReplySink* sink_ = nullptr;
  WaitKind waitKind_ = WaitKind::None;
  LinkStatus waitStatus_ = LinkStatus::Idle;
  int waitTicksLeft_ = 0;
  std::coroutine_handle<> runner_;
};

class uclTzif::StatusAwaiter {
 public:
  StatusAwaiter(uclTzif& link, ReplySink& sink, SendKind send, std::string payload,
                LinkStatus waitStatus)
      : link_(link),
        sink_(sink),
        send_(send),
        payload_(std::move(payload)),
        waitStatus_(waitStatus) {}

  bool await_ready() const noexcept;
  bool await_suspend(std::coroutine_handle<> waiting);
  Awaited<LinkStatus> await_resume() const noexcept { return Awaited<LinkStatus>(link_.status_); }

 private:
  uclTzif& link_;
  ReplySink& sink_;
  SendKind send_;
  std::string payload_;
  LinkStatus waitStatus_;
};

class uclTzif::TickAwaiter {
 public:
  TickAwaiter(uclTzif& link, int ticks) : link_(link), ticks_(ticks) {}

  bool await_ready() const noexcept { return ticks_ <= 0; }
  void await_suspend(std::coroutine_handle<> waiting) noexcept;
  void await_resume() const noexcept {}

 private:
  uclTzif& link_;
  int ticks_;
};

}  // namespace kv
