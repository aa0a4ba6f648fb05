#pragma once
// The simulated instrument as the link's port, in the same process: no
// pseudo-terminal, no timing. Every line written is answered by the
// simulator's own logic (SimInstrument, faults included); the replies reach
// the link at once, inside the write, or on Pump(). Tests of the window and
// of the transactions run on it in milliseconds; demo mode and the
// end-to-end tests keep the real serial path to kvsim.
#include <deque>
#include <optional>
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
  void Deliver(const OutgoingReply& reply);

  SimInstrument& instrument_;
  TransportEvents* events_ = nullptr;
  std::deque<OutgoingReply> held_;
  bool replyAtOnce_ = true;
  bool open_ = false;
  int handshaking_ = 0;
  std::string settings_ = "9600,n,8,1";
};

}  // namespace kv::sim
