// The simulated instrument as the link's port, without a terminal: the whole
// read runs through the real link and the simulator's logic on a manual clock.
#include <gtest/gtest.h>

#include <optional>

#include "sim_link_fixture.h"

namespace kv::sim {
namespace {

class SimTransportTest : public testing::SimLinkTest {
 protected:
  // Runs the read to its end; its result, or nothing when it did not end.
  std::optional<bool> Read(int maxTicks) { return Run(GetInstrument(link, record), maxTicks); }

  clsInstrument record;
};

TEST_F(SimTransportTest, FullReadOverTheSimulatorEndsWithItsSettings) {
  struct Case {
    const char* what;
    bool replyAtOnce;
  };
  for (const Case c : {Case{"replies inside the write", true}, Case{"replies on the pump", false}}) {
    SCOPED_TRACE(c.what);
    port.SetReplyAtOnce(c.replyAtOnce);
    record = clsInstrument{};
    link.SetPortOpen(false);
    ASSERT_NO_FATAL_FAILURE(Connect());

    // 200 exchanges; answered at once they need no tick, on the pump one each.
    EXPECT_EQ(Read(400), std::optional<bool>(true));
    EXPECT_EQ(instrument.RejectedFrames(), 0);
    const clsInstrument& held = instrument.Device().Settings();
    EXPECT_EQ(record.SerialNo(), held.SerialNo());
    for (int channel = 0; channel < kSensorChannels; ++channel) {
      EXPECT_EQ(record.GasName(channel), held.GasName(channel)) << "channel " << channel;
    }
  }
}

TEST_F(SimTransportTest, AWriteAfterTheLineIsGoneFailsTheExchangeAtOnce) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  port.Close();
  // Without the write check the read would wait out 4 reply time-outs (124 ticks).
  EXPECT_EQ(Read(5), std::optional<bool>(false));
  EXPECT_EQ(link.Status(), LinkStatus::Failed);
}

}  // namespace
}  // namespace kv::sim
