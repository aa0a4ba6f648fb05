#pragma once
// Faults injected into chosen replies, for testing how the program copes with
// a bad line: the reply number counts every reply the instrument would send,
// faulty or not, from 1.
#include <string>
#include <utility>
#include <vector>

#include "model/instrument.h"

namespace kv::sim {

enum class FaultKind {
  Drop,     // the reply is not sent at all
  Corrupt,  // the reply is sent with a wrong checksum
  Delay,    // the reply is held back for a while
  Garbage,  // junk is sent instead of the reply
  HangUp,   // the line is closed after the reply, as an unplugged cable
};

struct Fault {
  FaultKind kind;
  long reply;       // 1-based
  int delayMs = 0;  // Delay only
};

class FaultPlan {
 public:
  void Add(const Fault& fault) { faults_.push_back(fault); }
  bool Has(FaultKind kind, long reply) const;
  // The extra delay of a reply: the sum of its Delay faults.
  int DelayMs(long reply) const;
  // Line noise sent in front of every reply, before its STX (as the NUL an
  // infrared turnaround can produce). Empty: none.
  void SetNoiseBeforeReply(std::string noise) { noiseBeforeReply_ = std::move(noise); }
  const std::string& NoiseBeforeReply() const { return noiseBeforeReply_; }
  bool Empty() const { return faults_.empty() && noiseBeforeReply_.empty(); }

 private:
  std::vector<Fault> faults_;
  std::string noiseBeforeReply_;
};

// Spoils the first setting a write changed from `before` to `after`: a
// number one higher, a switch flipped, a text with its last character
// replaced. False when the write changed nothing.
bool StoreOneSettingWrongly(const clsInstrument& before, clsInstrument& after);

// The frame with its two checksum digits replaced by a wrong value.
std::string WithBadChecksum(std::string frame);
// Line noise in place of a reply: printable and high bytes ending in EOT, so
// the program sees one frame and rejects it.
std::string GarbageFrame();

}  // namespace kv::sim
