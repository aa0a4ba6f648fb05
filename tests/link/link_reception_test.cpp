// Reception: frames cut from received bytes, answered with acknowledgements,
// negative acknowledgements or resends; replies that do not belong to the
// pending command; cancel and the receive buffer's bound.
#include <gtest/gtest.h>

#include "link/fakes.h"
#include "protocol/frame_view.h"

namespace kv::test {
namespace {

class Reception : public ::testing::Test {
 protected:
  Reception() : dispatcher(h.link) {
    h.instrument.EchoUnknown(false);  // tests deliver replies themselves
    h.ForceConnected();
  }

  // Starts a one-command transaction and returns its outcome holder.
  void StartOne(const std::string& command, LinkStatus waitStatus = LinkStatus::ReadWaiting) {
    ASSERT_TRUE(h.link.Start(SendOne(h.link, command, waitStatus, &ended), outcome.Callback()));
  }

  LinkHarness h;
  FakeDispatcher dispatcher;
  LinkStatus ended = LinkStatus::Idle;
  Outcome outcome;
};

TEST_F(Reception, ReplyInPiecesWithCarriageReturnsIsAppliedAsTheWholeFrame) {
  const std::string frame = BuildCommandLine("VP,R,1.23\rKORVIN\r0A,0B");
  for (const std::size_t piece : {frame.size(), std::size_t{1}, std::size_t{2}, std::size_t{3},
                                  std::size_t{7}}) {
    SCOPED_TRACE(piece);
    dispatcher.frames.clear();
    h.port.writes.clear();
    outcome = {};
    StartOne("VP,R,");
    h.port.DeliverInPieces(frame, piece);
    EXPECT_EQ(dispatcher.frames, std::vector<std::string>{frame});
    EXPECT_EQ(outcome.result, std::optional<bool>(true));
    EXPECT_EQ(ended, LinkStatus::Complete);
    EXPECT_EQ(h.port.writes.size(), 1u) << "a reply still arriving is not resent";
  }
}

TEST_F(Reception, CarriageReturnWithoutTerminatorWaitsUntilTheReplyTimeOut) {
  StartOne("VP,R,");
  h.port.Deliver(std::string("\x02") + "0000VP,R,\r");
  h.Tick(30);
  EXPECT_EQ(h.port.writes.size(), 1u);
  EXPECT_EQ(h.link.Status(), LinkStatus::ReadWaiting);
  h.Tick(1);
  ASSERT_EQ(h.port.writes.size(), 2u) << "the time-out resends";
  EXPECT_EQ(h.port.writes[1].bytes, h.port.writes[0].bytes);
}

TEST_F(Reception, TwoFramesInOneArrivalAreAppliedInOrderBeforeTheNextCommand) {
  std::vector<LinkStatus> statuses;
  ASSERT_TRUE(h.link.Start(SendAll(h.link, {"AA,R,", "BB,R,"}, &statuses), outcome.Callback()));
  const std::string first = BuildCommandLine("AA,R,1");
  const std::string second = BuildCommandLine("AA,R,2");
  h.port.Deliver(first + second);
  EXPECT_EQ(dispatcher.frames, (std::vector<std::string>{first, second}));
  ASSERT_EQ(h.port.writes.size(), 2u) << "the next command goes out once, after the scan";
  EXPECT_EQ(CommandTextOf(h.port.writes[1].bytes), "BB,R,");
  EXPECT_EQ(h.link.Status(), LinkStatus::ReadWaiting);
}

TEST_F(Reception, LateReplyAndTheAnswerToItsResendDoNotShiftLaterReplies) {
  std::vector<LinkStatus> statuses;
  ASSERT_TRUE(h.link.Start(SendAll(h.link, {"AA,R,", "BB,R,", "CC,R,"}, &statuses),
                           outcome.Callback()));
  h.Tick(31);
  ASSERT_EQ(h.port.writes.size(), 2u) << "AA resent after the time-out";

  const std::string lateA = BuildCommandLine("AA,R,late");
  const std::string resentA = BuildCommandLine("AA,R,again");
  h.port.Deliver(lateA);  // accepted: BB goes out at once
  ASSERT_EQ(h.port.writes.size(), 3u);
  EXPECT_EQ(CommandTextOf(h.port.writes[2].bytes), "BB,R,");
  h.port.Deliver(resentA);  // belongs to AA: ignored, BB still waits
  EXPECT_EQ(h.link.Status(), LinkStatus::ReadWaiting);
  EXPECT_EQ(h.port.writes.size(), 3u) << "neither accepted nor answered by a resend";

  const std::string replyB = BuildCommandLine("BB,R,b");
  const std::string replyC = BuildCommandLine("CC,R,c");
  h.port.Deliver(replyB);
  h.port.Deliver(replyC);
  EXPECT_EQ(dispatcher.frames, (std::vector<std::string>{lateA, replyB, replyC}));
  EXPECT_EQ(outcome.result, std::optional<bool>(true));
}

TEST_F(Reception, ReplyThatNeverComesIsResentRetryTimesThenFails) {
  StartOne("VP,R,");
  h.Tick(123);
  EXPECT_EQ(h.link.Status(), LinkStatus::ReadWaiting);
  h.Tick(1);
  EXPECT_EQ(ended, LinkStatus::Failed);
  EXPECT_EQ(outcome.result, std::optional<bool>(false));
  EXPECT_FALSE(h.link.ReplyReceived());
  ASSERT_EQ(h.port.writes.size(), 4u);  // the command and three resends
  for (std::size_t i = 0; i < h.port.writes.size(); ++i) {
    EXPECT_EQ(h.port.writes[i].bytes, BuildCommandLine("VP,R,"));
    EXPECT_EQ(h.port.writes[i].tick, static_cast<long>(31 * i)) << "Timeout 3: 30 ticks, then the resend";
  }
}

TEST_F(Reception, RejectedFrameIsAnsweredByTheWaitingState) {
  struct Case {
    LinkStatus waiting;
    const char* command;
    std::string expectedAnswer;
  };
  const std::string readLine = BuildCommandLine("VP,R,");
  const std::vector<Case> cases = {
      {LinkStatus::ReadWaiting, "VP,R,", readLine},
      {LinkStatus::WriteWaiting, "XP,W,1", BuildCommandLine("XP,W,1")},
      {LinkStatus::BlockTransfer, "ES,R,", BuildCommandLine(std::string("ES,R,") + kNAK, kETB)},
      {LinkStatus::BlockTransfer, "IH,R,00", BuildCommandLine(std::string("IH,R,00") + kNAK, kETB)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    StartOne(c.command, c.waiting);
    std::string bad = BuildCommandLine(std::string(c.command).substr(0, 5) + "x");
    bad[bad.size() - 2] ^= 1;  // checksum digit
    h.port.Deliver(bad);
    EXPECT_EQ(h.port.writes.back().bytes, c.expectedAnswer);
    EXPECT_EQ(h.link.RetryCount(), 1);
    EXPECT_EQ(h.link.Status(), c.waiting);
    h.link.SetCancel(true);
    h.Tick();
    h.link.SetCancel(false);
    ASSERT_FALSE(h.link.TaskRunning());
  }
}

TEST_F(Reception, RejectionsBeyondTheBudgetFail) {
  StartOne("VP,R,");
  std::string bad = BuildCommandLine("VP,R,x");
  bad[bad.size() - 2] ^= 1;
  for (int i = 0; i < 3; ++i) {
    h.port.Deliver(bad);
  }
  EXPECT_EQ(h.port.writes.size(), 4u);
  EXPECT_EQ(h.link.Status(), LinkStatus::ReadWaiting);
  h.port.Deliver(bad);
  EXPECT_EQ(ended, LinkStatus::Failed);
  EXPECT_EQ(h.port.writes.size(), 4u);
}

TEST_F(Reception, BlocksAreAcknowledgedWithTheCommandHead) {
  struct Case {
    const char* command;
    const char* head;
  };
  for (const Case& c : {Case{"ES,R,", "ES,R,"}, Case{"IH,R,00", "IH,R,00"}}) {
    SCOPED_TRACE(c.command);
    StartOne(c.command, LinkStatus::BlockTransfer);
    const std::string code = std::string(c.command).substr(0, 5);
    h.port.Deliver(BuildCommandLine(code + "block1", kETB));
    const std::string ack = h.port.writes.back().bytes;
    EXPECT_EQ(ack, BuildCommandLine(std::string(c.head) + kACK, kETB));
    EXPECT_EQ(ack.back(), kETB);
    EXPECT_EQ(h.link.Status(), LinkStatus::BlockTransfer);
    h.port.Deliver(BuildCommandLine(code + "last"));
    EXPECT_EQ(ended, LinkStatus::Complete);
  }
}

TEST_F(Reception, CancelledTransactionEndsCancelled) {
  for (const bool replyArrives : {true, false}) {
    SCOPED_TRACE(replyArrives);
    dispatcher.frames.clear();
    outcome = {};
    h.link.SetCancel(false);
    StartOne("VP,R,");
    h.link.SetCancel(true);
    if (replyArrives) {
      h.port.Deliver(BuildCommandLine("VP,R,1"));
      EXPECT_TRUE(dispatcher.frames.empty()) << "what arrives is discarded";
    } else {
      h.Tick();  // a silent instrument: the next tick ends the wait
    }
    EXPECT_EQ(ended, LinkStatus::Cancelled);
    EXPECT_EQ(outcome.result, std::optional<bool>(false));
  }
}

TEST_F(Reception, OverflowingTheReceiveBufferIsLoggedAndDropped) {
  const std::string path = FreshTempPath("overflow_log.log");
  ASSERT_TRUE(h.link.Log().Open(path));
  StartOne("VP,R,");
  const std::string junk(ReceiveBuffer::kDefaultCapacity / 2 + 1, 'x');
  h.port.Deliver(junk);
  h.port.Deliver(junk);
  h.link.Log().Close();
  const std::string text = ReadBytes(path);
  EXPECT_NE(text.find("<<< Receive buffer overflow: 65538 bytes dropped >>>"), std::string::npos);

  const std::string reply = BuildCommandLine("VP,R,1");
  h.port.Deliver(reply);
  EXPECT_EQ(dispatcher.frames, std::vector<std::string>{reply});
  EXPECT_EQ(ended, LinkStatus::Complete);
}

// Whether a frame belongs to the pending command is read as the dispatcher
// reads its key: bytes before STX and control characters do not move it.
TEST_F(Reception, PendingCommandCheckReadsTheCodeAsTheDispatcherDoes) {
  using namespace std::string_literals;
  const std::string reply = BuildCommandLine("VP,R,1");
  struct Case {
    const char* name;
    std::string bytes;
    bool taken;
  };
  const std::vector<Case> cases = {
      {"plain", reply, true},
      {"NUL before STX", "\0"s + reply, true},
      {"junk before STX", "\xFF\x7Fzz\r\n" + reply, true},
      {"stray STX in the noise", "\x02\x15" + reply, true},
      {"NUL inside the head", "\x02" "0\0" "000VP,R,1\x03"s + reply.substr(reply.size() - 3), true},
      {"noise before another command's reply", "\0"s + BuildCommandLine("AA,R,1"), false},
  };
  std::vector<std::string> handed;  // accepted by the checksum counted from STX
  h.link.SetReplyHandler([&handed](std::string_view frame, ReplySink&) {
    handed.emplace_back(frame);
    return FrameView(frame).ChecksumMatches();
  });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    handed.clear();
    outcome = {};
    h.port.writes.clear();
    StartOne("VP,R,");
    h.port.Deliver(c.bytes);
    if (c.taken) {
      EXPECT_EQ(handed, std::vector<std::string>{c.bytes});
      EXPECT_EQ(ended, LinkStatus::Complete);
    } else {
      EXPECT_TRUE(handed.empty()) << "ignored, not handed on";
      EXPECT_EQ(h.link.Status(), LinkStatus::ReadWaiting);
      EXPECT_EQ(h.port.writes.size(), 1u) << "neither accepted nor answered by a resend";
      h.link.SetCancel(true);
      h.Tick();
      h.link.SetCancel(false);
    }
    ASSERT_FALSE(h.link.TaskRunning());
  }
}

// An instrument behind an infrared adapter whose turnaround puts bytes in
// front of every reply. The real dispatcher applies the replies.
class NoisyLine : public ::testing::TestWithParam<std::string> {
 protected:
  NoisyLine() {
    h.port.modemLines = std::nullopt;  // a pseudo-terminal: the probe goes out at once
    // Takes the port over from the scripted instrument.
    h.port.OnWrite([this](std::string_view line) { Answer(line); });
  }

  // Replies come out on the next tick, the noise first, then the frame.
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      ++h.port.currentTick;
      h.clock.AdvanceMilliseconds(100);
      std::vector<std::string> due;
      due.swap(pending_);
      for (const std::string& reply : due) {
        h.port.Deliver(GetParam());
        h.port.Deliver(reply);
      }
      h.link.Tick();
    }
  }

  int CommandsSent(std::string_view code) const {
    return static_cast<int>(std::count_if(h.port.writes.begin(), h.port.writes.end(),
                                          [code](const ScriptedTransport::WrittenLine& w) {
                                            return FrameView(w.bytes).Code() == code;
                                          }));
  }

  LinkHarness h;
  clsInstrument record;

 private:
  void Answer(std::string_view line) {
    const FrameView command(line);
    if (command.Terminator() != kEOT) return;
    const std::string key(command.Key());
    std::string reply;
    if (key == "RC,R") {
      reply = "RC,R,KORVIN";
    } else if (key == "VP,R") {
      reply = "VP,R,3021";
    } else if (key == "SZ,W") {
      reply = std::string("SZ,W,") + kACK;
    } else {
      reply = std::string(command.Text());  // HC,W and the like echo the line
    }
    pending_.push_back(BuildCommandLine(reply));
  }

  std::vector<std::string> pending_;
};

TEST_P(NoisyLine, ProbeConnectsAndEveryReplyIsTakenAtOnce) {
  ASSERT_TRUE(h.link.SetPortOpen(true));
  for (int i = 0; i < 400 && h.link.State() != LinkState::Connected; ++i) Tick();
  ASSERT_EQ(h.link.State(), LinkState::Connected);
  EXPECT_EQ(CommandsSent("RC"), 1) << "the first probe's reply connects";
  EXPECT_TRUE(h.events.Named("AlarmMessage").empty());

  // A read, an acknowledged command (its ACK is read at a fixed place after
  // STX) and a write whose acknowledgement echoes the whole line.
  std::vector<LinkStatus> statuses;
  Outcome outcome;
  ASSERT_TRUE(h.link.Start(SendAll(h.link, {"VP,R,", "SZ,W,", "HC,W,260305140709"}, &statuses, &record),
                           outcome.Callback()));
  Tick(3);
  EXPECT_EQ(outcome.result, std::optional<bool>(true));
  EXPECT_EQ(statuses, std::vector<LinkStatus>(3, LinkStatus::Complete));
  EXPECT_EQ(record.RomNumber(), 3021);
  EXPECT_EQ(h.port.writes.size(), 4u) << "no resend and no negative acknowledgement";
}

INSTANTIATE_TEST_SUITE_P(Noise, NoisyLine,
                         ::testing::Values(std::string(1, '\0'), std::string(3, '\0'),
                                           std::string("\xFF\xFE"), std::string("zz"),
                                           std::string("\r\n"), std::string("\x02\x15")),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return "Noise" + std::to_string(info.index);
                         });

}  // namespace
}  // namespace kv::test
