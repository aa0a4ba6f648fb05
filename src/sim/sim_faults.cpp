#include "sim/sim_faults.h"

#include <algorithm>
#include <type_traits>
#include <variant>

#include "model/instrument_settings.h"
#include "protocol/frame_view.h"
#include "protocol/framing.h"

namespace kv::sim {
namespace {

constexpr int kChecksumFlip = 0x5A;

// A value the instrument would hold had it mistaken `value`.
SettingValue Spoiled(const SettingValue& value) {
  return std::visit(
      [](const auto& v) -> SettingValue {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool>) {
          return !v;
        } else if constexpr (std::is_same_v<T, Text>) {
          Text spoiled = v.empty() ? Text("X") : v;
          spoiled.back() = spoiled.back() == 'X' ? 'Y' : 'X';
          return spoiled;
        } else {
          return static_cast<T>(v + 1);
        }
      },
      value);
}

}  // namespace

bool StoreOneSettingWrongly(const clsInstrument& before, clsInstrument& after) {
  for (const SettingInfo& setting : AllSettings()) {
    for (int index = 0; index < setting.count; ++index) {
      const SettingValue held = setting.get(after, index);
      if (held == setting.get(before, index)) continue;
      return setting.set(after, index, Spoiled(held));
    }
  }
  return false;
}

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
