// A write the port refuses (closed, gone, buffer full): the exchange waiting
// for its answer fails at once as a send fault instead of waiting out its
// time-outs and resends.
#include <gtest/gtest.h>

#include "link/fakes.h"

namespace kv::test {
namespace {

TEST(LinkWriteFailure, ARefusedWriteFailsTheWaitingExchangeAtOnce) {
  for (const LinkStatus wait : {LinkStatus::ReadWaiting, LinkStatus::WriteWaiting}) {
    SCOPED_TRACE(static_cast<int>(wait));
    LinkHarness h;
    const std::string log = FreshTempPath("write_failure.log");
    ASSERT_TRUE(h.link.Log().Open(log));
    h.ForceConnected();
    h.port.writable = false;

    LinkStatus ended = LinkStatus::Idle;
    Outcome outcome;
    ASSERT_TRUE(h.link.Start(SendOne(h.link, "VP,R,", wait, &ended), outcome.Callback()));

    EXPECT_EQ(outcome.result, std::optional<bool>(false)) << "ended without a tick";
    EXPECT_EQ(ended, LinkStatus::Failed);
    EXPECT_EQ(h.link.FaultCount(), 1);
    EXPECT_EQ(h.events.transmits, 0) << "nothing was transmitted";
    h.Tick(130);
    EXPECT_EQ(h.port.writes.size(), 1U) << "no resends of a failed exchange";
    h.link.Log().Close();
    EXPECT_NE(ReadBytes(log).find("Send Buffer Over Flow. Date = 2026/03/05 14:07:09"),
              std::string::npos);
  }
}

TEST(LinkWriteFailure, ARefusedProbeIsAnUnansweredProbe) {
  LinkHarness h;
  h.port.modemLines = std::nullopt;  // probed on the first tick
  h.port.writable = false;
  ASSERT_TRUE(h.link.SetPortOpen(true));
  h.Tick();
  ASSERT_EQ(h.port.writes.size(), 1U);
  EXPECT_EQ(h.link.FaultCount(), 0) << "send faults are ignored while connecting";
  EXPECT_EQ(h.link.State(), LinkState::Connecting);
  // The sequence carries on as for a probe without answer: close, reopen, probe again.
  h.Tick(23);
  EXPECT_GE(h.port.closes, 1);
  EXPECT_EQ(h.port.writes.size(), 2U);
}

}  // namespace
}  // namespace kv::test
