#pragma once
// The real link on the simulator in the same process (SimTransport), on a
// manual clock: a whole transaction with its time-outs runs in milliseconds.
#include <gtest/gtest.h>

#include <optional>

#include "common/clock.h"
#include "link/link.h"
#include "link/transactions.h"
#include "sim/sim_default_state.h"
#include "sim/sim_instrument.h"
#include "sim/sim_transport.h"

namespace kv::sim::testing {

class SimLinkTest : public ::testing::Test {
 protected:
  SimLinkTest() {
    port.Attach(&link);
    link.SetRetry(3);
    link.SetTimeout(3);
  }
  ~SimLinkTest() override { port.Attach(nullptr); }

  // Ticks until `done` holds or `ticks` have passed; the ticks it took.
  template <class Done>
  int TickUntil(Done done, int ticks) {
    int taken = 0;
    for (; taken < ticks && !done(); ++taken) {
      clock.AdvanceMilliseconds(100);
      port.Pump();
      link.Tick();
    }
    return taken;
  }

  void Connect() {
    ASSERT_TRUE(link.SetPortOpen(true));
    TickUntil([this] { return link.State() == LinkState::Connected; }, 50);
    ASSERT_EQ(link.State(), LinkState::Connected);
  }

  // Runs a transaction to its end; its result, or nothing when it did not end.
  std::optional<bool> Run(Transaction transaction, int maxTicks = 2000) {
    std::optional<bool> result;
    EXPECT_TRUE(link.Start(std::move(transaction), [&result](bool ok) { result = ok; }));
    TickUntil([&result] { return result.has_value(); }, maxTicks);
    return result;
  }

  ManualClock clock{DateTime{2026, 3, 5, 14, 7, 9}};
  SimInstrument instrument{clock, MakeDemoInstrument()};
  SimTransport port{instrument};
  uclTzif link{port, clock};
};

}  // namespace kv::sim::testing
