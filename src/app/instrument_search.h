#pragma once
// Keeps looking for an instrument while none answers: once the link's own
// connect sequence has given up (after Power OFF, a lost link, or a start
// without an instrument), the port is opened again at a modest pace, so an
// instrument switched on later connects by itself. Driven by the session
// tick, like the link; plain C++.
#include <functional>

#include "link/link.h"

namespace kv {

class InstrumentSearch {
 public:
  // Between the end of one connect sequence and the next.
  static constexpr int kPauseTicks = 5 * uclTzif::kTicksPerSecond;

  // `lookAgain` opens the port again (and finds the adapter first).
  InstrumentSearch(uclTzif& link, std::function<void()> lookAgain);

  // One session tick: looks again once the link has been offline and idle for
  // the pause (with modem lines up, after the link's own settling delay too;
  // with both lines down the link starts by itself when they come up).
  void Tick();
  // Looks again at once ("Connect now").
  void LookNow();
  // While paused (a transaction or station mode owns the link) nothing is opened.
  void SetPaused(bool paused);
  bool Paused() const { return paused_; }
  // No instrument answers: the link is neither connected nor connecting.
  bool Waiting() const;

 private:
  int TicksBeforeLooking() const;

  uclTzif& link_;
  std::function<void()> lookAgain_;
  int idleTicks_ = 0;
  bool paused_ = false;
};

}  // namespace kv
