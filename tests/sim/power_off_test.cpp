// After power off the simulated instrument hears nothing until it is switched on.
#include <gtest/gtest.h>

#include "protocol/write_lines.h"
#include "sim_fixture.h"

namespace kv::sim::testing {
namespace {

class SimPowerOffTest : public SimSession {
 protected:
  SimPowerOffTest() { sim.SetSwitchesOff(true); }
};

TEST_F(SimPowerOffTest, AcknowledgesThenAnswersNothingUntilSwitchedOn) {
  ASSERT_FALSE(Ask("BP,R,").empty());
  EXPECT_TRUE(Exchange(WriteLineRO())) << "the acknowledgement still goes out";
  EXPECT_TRUE(sim.PoweredOff());
  EXPECT_TRUE(Ask("BP,R,").empty());
  EXPECT_TRUE(Ask(WriteLineRO()).empty());
  EXPECT_EQ(sim.Device().PowerOffRequests(), 1);

  sim.PowerOn();
  EXPECT_FALSE(sim.PoweredOff());
  EXPECT_FALSE(Ask("BP,R,").empty());
}

TEST_F(SimPowerOffTest, ARequestSentWithThePowerOffInOneChunkIsNotAnswered) {
  const std::string both = BuildCommandLine(WriteLineRO(), kEOT, "00") +
                           BuildCommandLine("BP,R,", kEOT, "00");
  const std::vector<OutgoingReply> replies = sim.Receive(both);
  ASSERT_EQ(replies.size(), 1U);
  EXPECT_EQ(replies.front().requestText, WriteLineRO());
}

TEST_F(SimSession, WithoutSwitchingOffItAnswersOnAfterPowerOff) {
  ASSERT_FALSE(Ask(WriteLineRO()).empty());
  EXPECT_FALSE(sim.PoweredOff());
  EXPECT_FALSE(Ask("BP,R,").empty());
}

}  // namespace
}  // namespace kv::sim::testing
