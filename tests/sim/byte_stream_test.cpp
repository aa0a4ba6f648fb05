// The simulator's byte stream: request frames cut from arbitrary chunks, one
// reply per complete request frame, silence for bad frames, and the faults
// injected into chosen replies.
#include "protocol/frame_view.h"
#include "sim_fixture.h"

namespace kv::sim::testing {
namespace {

std::string Framed(std::string_view text) { return BuildCommandLine(text, kEOT, "00"); }

class SimByteStreamTest : public SimSession {};

TEST_F(SimByteStreamTest, RequestSplitAcrossChunksIsAnsweredOnceComplete) {
  const std::string request = Framed("VP,R,");
  EXPECT_TRUE(sim.Receive(request.substr(0, 6)).empty());
  EXPECT_TRUE(sim.Receive(request.substr(6, 5)).empty());
  const auto replies = sim.Receive(request.substr(11));
  ASSERT_EQ(replies.size(), 1U);
  EXPECT_EQ(replies[0].bytes, Framed("VP,R,3021,"));
  EXPECT_EQ(replies[0].requestBytes, request.size());
}

TEST_F(SimByteStreamTest, TwoRequestsInOneChunkGetTwoRepliesInOrder) {
  const auto replies = sim.Receive(Framed("UJ,R,") + Framed("AQ,R,"));
  ASSERT_EQ(replies.size(), 2U);
  EXPECT_EQ(replies[0].bytes, Framed("UJ,R,1,"));
  EXPECT_EQ(replies[1].bytes, Framed("AQ,R,2468,"));
  EXPECT_EQ(replies[1].number, 2);
}

TEST_F(SimByteStreamTest, FramesThatAreNotRequestsGetNoReply) {
  std::string badChecksum = Framed("VP,R,");
  badChecksum[badChecksum.size() - 2] = badChecksum[badChecksum.size() - 2] == '0' ? '1' : '0';
  const std::string noEtx =
      "\x02"
      "0000VP,R,EB\x04";
  const std::string ackLine = BuildCommandLine(std::string("VP,R,") + kACK, kETB, "00");
  for (const std::string& frame : {badChecksum, noEtx, ackLine, std::string("\x04")}) {
    SCOPED_TRACE(ToReadable(frame));
    EXPECT_TRUE(sim.Receive(frame).empty());
  }
  EXPECT_EQ(sim.RejectedFrames(), 2);
  // The silence counts no reply: the next one is still the first.
  const auto replies = sim.Receive(Framed("VP,R,"));
  ASSERT_EQ(replies.size(), 1U);
  EXPECT_EQ(replies[0].number, 1);
}

TEST_F(SimByteStreamTest, NoiseBeforeTheStartOfAFrameIsSkipped) {
  const auto replies = sim.Receive("\xFF\x7Fzz" + Framed("VP,R,"));
  ASSERT_EQ(replies.size(), 1U);
  EXPECT_EQ(replies[0].bytes, Framed("VP,R,3021,"));
}

TEST_F(SimByteStreamTest, LineNoiseBeforeARequestIsNoRequestOfItsOwn) {
  using namespace std::string_literals;
  // The last two end in a terminator of their own: noise without STX is skipped.
  for (const std::string& noise : {"\0"s, "\xFF\x7Fzz"s, "\x02\x15"s, "\x04"s, "\r\n\x17"s}) {
    SCOPED_TRACE(ToReadable(noise));
    const auto replies = sim.Receive(noise + Framed("VP,R,"));
    ASSERT_EQ(replies.size(), 1U);
    EXPECT_EQ(replies[0].bytes, Framed("VP,R,3021,"));
    EXPECT_EQ(replies[0].requestText, "VP,R,");
    EXPECT_EQ(replies[0].requestBytes, Framed("VP,R,").size());
  }
  EXPECT_EQ(sim.RejectedFrames(), 0);
}

// --noise-before-reply: a NUL in front of every reply.
FaultPlan NoisyPlan() {
  FaultPlan plan;
  plan.SetNoiseBeforeReply(std::string(1, '\0'));
  return plan;
}

class SimNoisyLineTest : public SimSession {
 protected:
  SimNoisyLineTest() : SimSession(NoisyPlan()) {}
};

TEST_F(SimNoisyLineTest, TheProgramAppliesTheWholeReadListThroughTheNoise) {
  EXPECT_EQ(Ask("VP,R,"), std::string(1, '\0') + Framed("VP,R,3021,"));
  for (const std::string& command : ProgramReadList()) {
    ASSERT_TRUE(Exchange(command)) << command;
  }
  EXPECT_TRUE(link.log.empty());
  EXPECT_EQ(record.RomNumber(), State().RomNumber());
}

TEST(SimNoiseFaultTest, FaultyRepliesCarryTheNoiseAndDroppedOnesStaySilent) {
  ManualClock clock;
  FaultPlan plan = NoisyPlan();
  plan.Add({FaultKind::Corrupt, 1});
  plan.Add({FaultKind::Drop, 2});
  SimInstrument sim(clock, MakeDemoInstrument(), {}, plan);
  const auto corrupt = sim.Receive(Framed("VP,R,"));
  ASSERT_EQ(corrupt.size(), 1U);
  const FrameView view(corrupt[0].bytes);
  EXPECT_EQ(view.Noise(), std::string(1, '\0'));
  EXPECT_FALSE(view.ChecksumMatches());
  const std::string clean = Framed("VP,R,3021,");
  EXPECT_EQ(view.Body(), FrameView(clean).Body()) << "only the checksum is wrong";
  const auto dropped = sim.Receive(Framed("VP,R,"));
  ASSERT_EQ(dropped.size(), 1U);
  EXPECT_EQ(dropped[0].bytes, "") << "a dropped reply gets no noise either";
}

TEST_F(SimByteStreamTest, EndlessNoiseDoesNotGrowTheBuffer) {
  EXPECT_TRUE(sim.Receive(std::string(3 * SimInstrument::kMaxPendingBytes, 'x')).empty());
  const auto replies = sim.Receive(Framed("VP,R,"));
  ASSERT_EQ(replies.size(), 1U);
}

struct FaultCase {
  std::string name;
  Fault fault;
  std::function<void(const OutgoingReply&, bool accepted)> check;
};

TEST(SimFaultTest, FaultHitsOnlyTheNthReply) {
  const std::vector<FaultCase> cases = {
      {"drop",
       {FaultKind::Drop, 2},
       [](const OutgoingReply& r, bool) { EXPECT_TRUE(r.bytes.empty()); }},
      {"corrupt",
       {FaultKind::Corrupt, 2},
       [](const OutgoingReply& r, bool accepted) {
         EXPECT_FALSE(accepted);
         EXPECT_FALSE(ChecksumMatches(r.bytes));
         EXPECT_EQ(r.bytes.substr(0, r.bytes.size() - 3),
                   Framed("VP,R,3021,").substr(0, r.bytes.size() - 3));
       }},
      {"garbage",
       {FaultKind::Garbage, 2},
       [](const OutgoingReply& r, bool accepted) {
         EXPECT_FALSE(accepted);
         EXPECT_EQ(r.bytes.back(), kEOT);
         EXPECT_EQ(r.bytes.find("VP,R"), std::string::npos);
       }},
      {"delay",
       {FaultKind::Delay, 2, 250},
       [](const OutgoingReply& r, bool accepted) {
         EXPECT_TRUE(accepted);
         EXPECT_EQ(r.delayMs, 250);
       }},
      {"hang-up",
       {FaultKind::HangUp, 2},
       [](const OutgoingReply& r, bool accepted) {
         EXPECT_TRUE(accepted);
         EXPECT_TRUE(r.hangUpAfter);
       }},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    ManualClock clock;
    FaultPlan plan;
    plan.Add(c.fault);
    SimInstrument sim(clock, MakeDemoInstrument(), {}, plan);
    ProgramLink link;
    clsInstrument record;
    for (long n = 1; n <= 3; ++n) {
      const auto replies = sim.Receive(Framed("VP,R,"));
      ASSERT_EQ(replies.size(), 1U);
      const OutgoingReply& reply = replies[0];
      ASSERT_EQ(reply.number, n);
      const bool accepted = !reply.bytes.empty() && ApplyReply(reply.bytes, &record, link);
      if (n == c.fault.reply) {
        c.check(reply, accepted);
      } else {
        EXPECT_TRUE(accepted) << "reply " << n;
        EXPECT_EQ(reply.delayMs, 0);
        EXPECT_FALSE(reply.hangUpAfter);
      }
    }
  }
}

}  // namespace
}  // namespace kv::sim::testing
