#pragma once
// Virtual time on the in-process simulator: the link's 100 ms tick and the
// simulator's replies played in their order, each at once, with no waiting
// between them. kvmaint's sessions and the window's tests run on it.
#include <functional>
#include <limits>

#include "kvmaint/harness/in_process_sim.h"

namespace kv {
class uclTzif;
}

namespace kv::inproc {

class VirtualTime {
 public:
  static constexpr long long kForever = std::numeric_limits<long long>::max();

  explicit VirtualTime(Simulator& sim) : sim_(sim) {}

  // The link's tick, every 100 ms of virtual time from now on, and no more.
  void StartTicks(uclTzif& link);
  // The same with the program's own tick (the window's session tick).
  void StartTicks(std::function<void()> tick);
  void StopTicks() { ticking_ = false; }

  // Plays what happens next: the replies due now, or else the next event (a
  // reply falling due, a tick, the instrument switching on) with the time
  // moved to it. False, with nothing done, when no event comes by `limitMs`.
  bool Step(long long limitMs = kForever);

  Simulator& Sim() { return sim_; }

 private:
  Simulator& sim_;
  std::function<void()> tick_;
  bool ticking_ = false;
  long long nextTickMs_ = 0;
};

}  // namespace kv::inproc
