#pragma once
// The simulated instrument on its byte stream: cuts the received bytes into
// request frames, answers each complete request frame with one framed reply
// and applies the fault plan to the replies.
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>


#include "sim/sim_device.h"
#include "sim/sim_dump.h"
#include "sim/sim_faults.h"

namespace kv::sim {

struct OutgoingReply {
  long number = 0;               // 1-based count of replies
  std::string bytes;             // what goes on the wire; empty when dropped
  std::size_t requestBytes = 0;  // the request frame it answers
  int delayMs = 0;               // held back this long on top of any line pacing
  bool hangUpAfter = false;      // close the line once it has been sent
  std::string requestText;       // for the trace: the request's command text
  std::string replyText;         // and the reply's, before any fault
};

// The time `bytes` take on a serial line of `baud` (ten bits a byte: start,
// eight data bits, stop); none for baud 0, an unpaced line.
inline std::chrono::microseconds LineTime(std::size_t bytes, long baud) {
  if (baud <= 0) return std::chrono::microseconds{0};
  constexpr long long kBitsPerByte = 10;
  return std::chrono::microseconds{static_cast<long long>(bytes) * kBitsPerByte * 1000000LL / baud};
}

class SimInstrument {
 public:
  // Bytes kept while waiting for a terminator; older noise beyond it is dropped.
  static constexpr std::size_t kMaxPendingBytes = 4096;

  SimInstrument(const Clock& clock, clsInstrument settings, SimDeviceOptions options = {},
                FaultPlan faults = {});

  // Takes received bytes and returns the replies of every request frame they
  // complete, in order. A frame with a bad checksum or layout gets no reply.
  std::vector<OutgoingReply> Receive(std::string_view bytes);

  // Like the instrument: once "RO,W," has been acknowledged nothing more is
  // answered until PowerOn. Off by default so that a test can ask on.
  void SetSwitchesOff(bool switchesOff) { switchesOff_ = switchesOff; }
  bool PoweredOff() const { return poweredOff_; }
  void PowerOn() {
    poweredOff_ = false;
    buffer_.clear();
  }
  // Switches on as another instrument with `settings` (a line of instruments
  // placed on the adapter one after another).
  void PowerOnAs(clsInstrument settings) {
    device_.Replace(std::move(settings));
    PowerOn();
  }
  void SetDumpFaults(DumpFaults faults) { dumps_ = SimDumps(faults); }

  SimDevice& Device() { return device_; }
  const SimDevice& Device() const { return device_; }
  long RepliesSoFar() const { return replies_; }
  long RejectedFrames() const { return rejected_; }

 private:
  std::vector<OutgoingReply> TakeFrames();
  // Memory dumps: raw or framed pieces, each a reply of its own so that a
  // long stream is paced piece by piece.
  bool AnswerDump(std::string_view request, std::string_view text, std::string_view block,
                  std::vector<OutgoingReply>& replies);

  // The --drop/--corrupt/--garbage/--delay/--hangup faults planned for this
  // reply; a dump piece is corrupted by a flipped byte, having no checksum.
  void ApplyFaults(OutgoingReply& reply, bool dumpPiece) const;

  SimDevice device_;
  FaultPlan faults_;
  SimDumps dumps_;
  std::string buffer_;
  long replies_ = 0;
  long rejected_ = 0;
  bool switchesOff_ = false;
  bool poweredOff_ = false;
};

}  // namespace kv::sim
