// The link with the real reply dispatcher: connecting, a read applied to the
// record, and a refused probe reply.
#include <gtest/gtest.h>

#include "common/messages.h"
#include "link/fakes.h"

namespace kv::test {
namespace {

TEST(WithDispatcher, ProbeAnsweredByAKorvinConnectsAndLogs) {
  LinkHarness h;
  const std::string path = FreshTempPath("dispatch_connect.log");
  ASSERT_TRUE(h.link.Log().Open(path));
  h.instrument.Answer("RC,R,", "RC,R,KORVIN V1.00");
  h.instrument.SetLatencyTicks(1);
  h.port.modemLines = std::nullopt;
  ASSERT_TRUE(h.Connect());
  h.Tick(50);
  EXPECT_EQ(h.events.Named("OnConnect").size(), 1u);
  h.link.Log().Close();
  EXPECT_NE(ReadBytes(path).find("---StartUp Connect Sequence Finished---\r\n"),
            std::string::npos);
}

TEST(WithDispatcher, ProbeReplyWithoutTheModelIsRefusedAndTheSequenceGivesUp) {
  LinkHarness h;
  h.instrument.Answer("RC,R,", "RC,R,OTHER");
  h.port.modemLines = std::nullopt;
  h.link.SetPortOpen(true);
  h.Tick(200);
  EXPECT_TRUE(h.events.Named("OnConnect").empty());
  EXPECT_EQ(h.events.Named("AlarmMessage").size(), 1u);
  EXPECT_EQ(h.link.State(), LinkState::Offline);
}

TEST(WithDispatcher, ReadReplyIsAppliedToTheRecordOfTheWaitingSink) {
  LinkHarness h;
  h.instrument.Answer("RC,R,", "RC,R,KORVIN");
  h.instrument.Answer("VP,R,", "VP,R,1234");
  h.port.modemLines = std::nullopt;
  ASSERT_TRUE(h.Connect());
  clsInstrument record;
  LinkStatus ended = LinkStatus::Idle;
  Outcome outcome;
  ASSERT_TRUE(h.link.Start(SendOne(h.link, "VP,R,", LinkStatus::ReadWaiting, &ended, &record),
                           outcome.Callback()));
  h.Tick();
  EXPECT_EQ(outcome.result, std::optional<bool>(true));
  EXPECT_EQ(record.RomNumber(), 1234);
}

}  // namespace
}  // namespace kv::test
