#include "sim/sim_faults.h"

#include <algorithm>

#include "protocol/frame_view.h"
#include "protocol/framing.h"

namespace kv::sim {
namespace {

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
  const FrameView view(frame);
  if (!view.WellFormed()) return frame;
  return std::string(view.Noise()) + std::string(view.Body()) +
         HexPair(FrameCheckSum(view.Body()) ^ kChecksumFlip) + view.Terminator();
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
