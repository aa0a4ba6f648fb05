// What the modem lines and the port's line faults do to the link and to a
// transaction waiting on it.
#include <gtest/gtest.h>

#include "common/messages.h"
#include "link/fakes.h"

namespace kv::test {
namespace {

class LineTrouble : public ::testing::Test {
 protected:
  LineTrouble() : dispatcher(h.link) {
    h.instrument.EchoUnknown(false);
    h.ForceConnected();
  }

  LinkHarness h;
  FakeDispatcher dispatcher;
  LinkStatus ended = LinkStatus::Idle;
  Outcome outcome;
};

TEST_F(LineTrouble, DroppedLinesFailTheWaitingTransactionAtOnce) {
  ASSERT_TRUE(h.link.Start(SendOne(h.link, "VP,R,", LinkStatus::ReadWaiting, &ended),
                           outcome.Callback()));
  h.link.OnModemLinesChanged(false, false);
  EXPECT_EQ(h.events.Named("LinkLost").size(), 1u);
  EXPECT_EQ(h.link.State(), LinkState::Offline);
  // Not Complete: that would pass for an accepted reply.
  EXPECT_EQ(ended, LinkStatus::Failed);
  EXPECT_EQ(outcome.result, std::optional<bool>(false));
}

TEST_F(LineTrouble, InstrumentHangingUpMidTransactionEndsIt) {
  h.instrument.EchoUnknown(true);
  h.instrument.HangUpAfter(2);
  std::vector<LinkStatus> statuses;
  ASSERT_TRUE(h.link.Start(SendAll(h.link, {"AA,R,", "BB,R,", "CC,R,", "DD,R,"}, &statuses),
                           outcome.Callback()));
  h.Tick(2);
  EXPECT_EQ(statuses, (std::vector<LinkStatus>{LinkStatus::Complete, LinkStatus::Complete,
                                               LinkStatus::Failed}));
  EXPECT_EQ(outcome.result, std::optional<bool>(false));
  EXPECT_EQ(h.instrument.Exchanges(), 3);
}

TEST_F(LineTrouble, TransactionOnAnOfflineLinkTimesOut) {
  h.link.OnModemLinesChanged(false, false);
  ASSERT_TRUE(h.link.Start(SendOne(h.link, "VP,R,", LinkStatus::ReadWaiting, &ended),
                           outcome.Callback()));
  h.Tick(4 * 31);
  EXPECT_EQ(ended, LinkStatus::Failed);
  EXPECT_EQ(h.port.writes.size(), 4u);
}

TEST(LineFaults, AreLoggedAndSetStatus) {
  struct Case {
    SerialFault fault;
    const char* log;
    LinkStatus idleAfter;     // from Ready, nothing waiting
    LinkStatus waitingAfter;  // a read waiting for its reply
  };
  const std::vector<Case> cases = {
      {SerialFault::Break, "Break Signal Found.", LinkStatus::Ready, LinkStatus::ReadWaiting},
      {SerialFault::Framing, "Flame Error.", LinkStatus::Failed, LinkStatus::Failed},
      {SerialFault::Overrun, "Port Over Run.", LinkStatus::Failed, LinkStatus::Failed},
      {SerialFault::ReceiveOverflow, "Receive Buffer Over Flow.", LinkStatus::Failed,
       LinkStatus::Failed},
      {SerialFault::Parity, "Parity Error.", LinkStatus::Failed, LinkStatus::Failed},
      // These two leave an idle link "complete" but fail a waiting read.
      {SerialFault::SendBufferFull, "Send Buffer Over Flow.", LinkStatus::Complete,
       LinkStatus::Failed},
      {SerialFault::DeviceControl, "Device Control Memory Error.", LinkStatus::Complete,
       LinkStatus::Failed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log);
    LinkHarness fresh;
    const std::string path = FreshTempPath("fault.log");
    ASSERT_TRUE(fresh.link.Log().Open(path));
    fresh.ForceConnected();
    fresh.link.OnSerialFault(c.fault);
    EXPECT_EQ(fresh.link.Status(), c.idleAfter);
    EXPECT_EQ(fresh.link.FaultCount(), 1);

    fresh.link.SetStatus(LinkStatus::ReadWaiting);
    fresh.link.OnSerialFault(c.fault);
    EXPECT_EQ(fresh.link.Status(), c.waitingAfter);
    fresh.link.Log().Close();
    EXPECT_NE(ReadBytes(path).find(std::string("14:07:09 ") + c.log +
                                       " Date = 2026/03/05 14:07:09\r\n"),
              std::string::npos);
  }
}

TEST(LineFaults, SendBufferFullIsIgnoredWhileConnecting) {
  LinkHarness fresh;
  fresh.port.modemLines = std::nullopt;
  fresh.link.SetPortOpen(true);
  ASSERT_EQ(fresh.link.State(), LinkState::Connecting);
  ASSERT_EQ(fresh.link.Status(), LinkStatus::ReadWaiting);  // the probe went out at once
  fresh.link.OnSerialFault(SerialFault::SendBufferFull);
  EXPECT_EQ(fresh.link.FaultCount(), 0);
  EXPECT_EQ(fresh.link.Status(), LinkStatus::ReadWaiting);
}

TEST_F(LineTrouble, CurrentReadingPollRunsOnceASecondAndGivesUpOnASilentReply) {
  const std::string path = FreshTempPath("densty.log");
  ASSERT_TRUE(h.link.Log().Open(path));
  h.instrument.EchoUnknown(true);
  h.instrument.SetLatencyTicks(1);
  h.instrument.DropExchange(2);
  h.link.SetRunDensty(true);
  h.Tick(45);
  std::vector<long> polls;
  for (const auto& write : h.port.writes) {
    if (CommandTextOf(write.bytes) == "DN,R,") {
      polls.push_back(write.tick);
    }
  }
  // 10: answered; 20: silent; 30: given up (Status Ready); 40: polled again.
  EXPECT_EQ(polls, (std::vector<long>{10, 20, 40}));
  h.link.Log().Close();
  EXPECT_NE(ReadBytes(path).find("--- Current reading download time out.Date= 2026/03/05 14:07:12 ---"),
            std::string::npos);
}

}  // namespace
}  // namespace kv::test
