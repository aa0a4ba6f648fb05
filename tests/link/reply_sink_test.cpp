// Where replies go: into the sink of the wait they answer (with its record),
// never into a record once nothing waits any more.
#include <gtest/gtest.h>

#include "link/transaction_fakes.h"

namespace kv::test {
namespace {

class ReplySinkRouting : public ::testing::Test {
 protected:
  ReplySinkRouting() {
    h.ForceConnected();
    h.instrument.SetLatencyTicks(1);
  }

  // Reads "VP,R," into `record` with the real dispatcher.
  std::optional<bool> ReadVersion(clsInstrument& record) {
    LinkStatus ended = LinkStatus::Idle;
    Outcome outcome;
    EXPECT_TRUE(h.link.Start(SendOne(h.link, "VP,R,", LinkStatus::ReadWaiting, &ended, &record),
                             outcome.Callback()));
    for (int tick = 0; tick < 100 && !outcome.result; ++tick) h.Tick();
    return outcome.result;
  }

  LinkHarness h;
};

TEST_F(ReplySinkRouting, EachWaitFillsTheRecordOfItsOwnSink) {
  h.instrument.AnswerBy(InTurn("VP,R,", {"VP,R,1111", "VP,R,2222"}));
  clsInstrument first;
  clsInstrument second;
  ASSERT_EQ(ReadVersion(first), std::optional<bool>(true));
  ASSERT_EQ(ReadVersion(second), std::optional<bool>(true));
  EXPECT_EQ(first.RomNumber(), 1111);
  EXPECT_EQ(second.RomNumber(), 2222);
}

TEST_F(ReplySinkRouting, AReplyArrivingWhileNothingWaitsReachesNoRecord) {
  h.instrument.Answer("VP,R,", "VP,R,1234");
  clsInstrument record;
  ASSERT_EQ(ReadVersion(record), std::optional<bool>(true));
  // The same reply once more, late: the transaction that wanted it is over.
  h.port.Deliver(BuildCommandLine("VP,R,5678", kEOT));
  h.Tick(5);
  EXPECT_EQ(record.RomNumber(), 1234);
}

Transaction ReceiveDump(uclTzif& link, ReplySink& sink, std::string request, LinkStatus* ended) {
  const LinkStatus status = co_await link.SendBytesAndWait(sink, request, LinkStatus::BinaryTransfer);
  *ended = status;
  co_return status == LinkStatus::Complete;
}

TEST_F(ReplySinkRouting, BinaryBytesWithoutAReceiverGoIntoTheWaitingSink) {
  ReplySink sink;
  LinkStatus ended = LinkStatus::Idle;
  Outcome outcome;
  ASSERT_TRUE(h.link.Start(ReceiveDump(h.link, sink, "\x02" "0000MM,R,0000", &ended),
                           outcome.Callback()));
  const std::string dump("\x01\x02\x03\xFF", 4);
  h.port.Deliver(dump);
  EXPECT_EQ(outcome.result, std::optional<bool>(true));
  EXPECT_EQ(ended, LinkStatus::Complete);
  EXPECT_EQ(sink.receivedBytes, std::optional<std::string>(dump));
}

}  // namespace
}  // namespace kv::test
