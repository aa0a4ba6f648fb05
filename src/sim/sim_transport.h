#pragma once
// The simulated instrument as the link's port, in the same process: no
// pseudo-terminal. Every line written is answered by the simulator's own
// logic (SimInstrument, faults included). The replies reach the link at
// once, inside the write, or on Pump(); or, on a virtual line, when a test's
// virtual clock reaches the time they are due, paced as kvsim paces them.
// Tests of the window, of the transactions and of kvmaint's commands run on
// it in milliseconds; demo mode and the smoke tests keep the real serial
// path to kvsim.
#include <chrono>
#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "link/transport.h"
#include "sim/sim_instrument.h"

namespace kv::sim {

class SimTransport final : public Transport {
 public:
  explicit SimTransport(SimInstrument& instrument) : instrument_(instrument) {}

  // Replies inside the write (the default) or held until Pump().
  void SetReplyAtOnce(bool atOnce) { replyAtOnce_ = atOnce; }
  // Delivers every held reply, in order.
  void Pump();
  std::size_t HeldReplies() const { return held_.size(); }

  // Holds every reply until `*nowMs` (a virtual clock in milliseconds)
  // reaches its time: after the wire time of request and reply at `baud`
  // (0: none) and its Delay fault, and never before the reply ahead of it.
  void SetVirtualLine(const long long* nowMs, long baud);
  // When the next held reply is due; nullopt when none is held.
  std::optional<long long> NextDueMs() const;
  // Delivers the replies due by now, together, as a pseudo-terminal reads
  // what is waiting in it; false when none was due.
  bool DeliverDue();
  // The line closes, as when the cable is pulled or kvsim ends.
  void HangUp();
  // One line per request and reply, as kvsim --trace writes them.
  void SetTrace(std::ostream* trace) { trace_ = trace; }

  void Attach(TransportEvents* events) override { events_ = events; }
  OpenResult Open() override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  // False while closed: the line is gone.
  bool Write(std::string_view bytes) override;
  void SetDtr(bool) override {}
  void SetRts(bool) override {}
  void SetHandshaking(int mode) override { handshaking_ = mode; }
  int Handshaking() const override { return handshaking_; }
  bool SetSettings(std::string_view settings) override;
  std::string Settings() const override { return settings_; }
  // Like a pseudo-terminal: no modem lines.
  std::optional<ModemLines> ReadModemLines() const override { return std::nullopt; }

 private:
  struct Held {
    std::chrono::microseconds due;
    OutgoingReply reply;
  };

  void Deliver(const OutgoingReply& reply);

  SimInstrument& instrument_;
  TransportEvents* events_ = nullptr;
  std::deque<Held> held_;
  bool replyAtOnce_ = true;
  const long long* virtualNowMs_ = nullptr;
  long baud_ = 0;
  std::chrono::microseconds lastDue_{0};
  std::ostream* trace_ = nullptr;
  bool open_ = false;
  int handshaking_ = 0;
  std::string settings_ = "9600,n,8,1";
};

}  // namespace kv::sim
