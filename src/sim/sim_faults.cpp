#include "sim/sim_faults.h"

#include <algorithm>

#include "protocol/framing.h"

namespace kv::sim {
namespace {

constexpr std::size_t kChecksumTail = 3;  // two digits and the terminator
constexpr int kChecksumFlip = 0x5A;

}  // namespace

bool FaultPlan::Has(FaultKind kind, long reply) const {
  return std::any_of(faults_.begin(), faults_.end(),
                     [&](const Fault& f) { return f.kind == kind && f.reply == reply; });
}

int FaultPlan::DelayMs(long reply) const {
  int total = 0;
  for (const Fault& f : faults_) {
    if (f.kind == FaultKind::Delay && f.reply == reply) total += f.delayMs;
  }
  return total;
}

std::string WithBadChecksum(std::string frame) {
  if (frame.size() < kChecksumTail) return frame;
  const std::size_t digits = frame.size() - kChecksumTail;
  const std::string wrong = HexPair(FrameCheckSum(frame.substr(0, digits)) ^ kChecksumFlip);
  frame.replace(digits, 2, wrong);
  return frame;
}

std::string GarbageFrame() {
  std::string junk =
      "\x7F~#K\xFE"
      "0Q@!x\x11^\xA7"
      "9?%$";
  junk += kEOT;
  return junk;
}

}  // namespace kv::sim
