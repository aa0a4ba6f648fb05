#pragma once
// Several adapters of one station run, each with its own line of simulated
// instruments, driven together by one loop on the virtual clock as the
// program's one event loop drives them: each adapter's link gets its bytes
// and its tick, none has a thread. An adapter can be unplugged: its line
// closes and its port no longer opens.
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/forwarding_transport.h"
#include "common/clock.h"
#include "link/link.h"
#include "ops/station_run.h"
#include "sim/sim_instrument.h"
#include "sim/sim_line.h"
#include "sim/sim_transport.h"

namespace kv::sim::testing {

// The simulator's port that can be pulled out.
class UnpluggableTransport final : public ForwardingTransport {
 public:
  explicit UnpluggableTransport(SimTransport& inner) : ForwardingTransport(inner), inner_(inner) {}
  void Unplug() {
    unplugged_ = true;
    inner_.HangUp();
  }
  bool Unplugged() const { return unplugged_; }

  OpenResult Open() override {
    return unplugged_ ? OpenResult::Failed(OpenFailure::NoSuchDevice) : ForwardingTransport::Open();
  }

 private:
  SimTransport& inner_;
  bool unplugged_ = false;
};

// One adapter: its line of instruments, the simulator on it, its link and
// its part of the run.
struct AdapterLine {
  AdapterLine(const Clock& clock, StationRun& run, std::string name, std::vector<clsInstrument> instruments)
      : instrument(clock, instruments.front()),
        line(std::move(instruments)),
        simPort(instrument),
        port(simPort),
        station(run, std::move(name)),
        link(port, clock) {
    instrument.SetSwitchesOff(true);
    port.Attach(&link);
    link.SetRetry(3);
    link.SetTimeout(3);
  }
  bool Start(std::optional<bool>& result) {
    return link.Start(RunStation(link, station), [&result](bool ok) { result = ok; });
  }
  // Replies paced as on a line of `baud`, on the virtual clock `nowMs`.
  void PaceReplies(const long long* nowMs, long baud) { simPort.SetVirtualLine(nowMs, baud); }
  // One tick; the next instrument comes on `backTicks` after a power-off.
  void Tick(int backTicks) {
    simPort.DeliverDue();
    link.Tick();
    offTicks = instrument.PoweredOff() ? offTicks + 1 : 0;
    if (offTicks >= backTicks && instrument.PoweredOff()) {
      offTicks = 0;
      line.Advance(instrument);
    }
  }

  SimInstrument instrument;
  SimLine line;
  SimTransport simPort;
  UnpluggableTransport port;
  StationPort station;
  uclTzif link;  // after the station: its run's frame goes first
  std::optional<bool> result;
  int offTicks = 0;
};

// Runs `adapters` on one loop, as the program's event loop does: the
// virtual clock moves to the next reply due on any line or to the next
// tick, whichever comes first. `afterStep` runs after each step; the loop
// ends when `over` says so or after `maxTicks` ticks.
template <typename Adapters, typename AfterStep, typename Over>
void RunAdapters(ManualClock& clock, long long& nowMs, Adapters& adapters, int backTicks, int maxTicks,
                 AfterStep afterStep, Over over) {
  long long nextTickMs = nowMs + 100;
  for (int ticks = 0; ticks < maxTicks && !over();) {
    std::optional<long long> nextDue;
    for (auto& adapter : adapters) {
      const std::optional<long long> due = adapter->simPort.NextDueMs();
      if (due && (!nextDue || *due < *nextDue)) nextDue = due;
    }
    const long long to = nextDue && *nextDue < nextTickMs ? std::max(*nextDue, nowMs) : nextTickMs;
    clock.AdvanceMilliseconds(static_cast<int>(to - nowMs));
    nowMs = to;
    if (to == nextTickMs) {
      for (auto& adapter : adapters) adapter->Tick(backTicks);
      nextTickMs += 100;
      ++ticks;
    } else {
      for (auto& adapter : adapters) adapter->simPort.DeliverDue();
    }
    afterStep();
  }
}

}  // namespace kv::sim::testing
