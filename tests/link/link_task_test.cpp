// Transactions as coroutines: composed tasks, tick waits, back-to-back
// commands without tick steps, one transaction at a time.
#include <gtest/gtest.h>

#include <memory>

#include "link/fakes.h"

namespace kv::test {
namespace {

Task<int> SendTwo(uclTzif& link, ReplySink& sink) {
  int completed = 0;
  for (const char* command : {"AA,R,", "BB,R,"}) {
    const LinkStatus ended = co_await link.SendAndWait(sink, command, LinkStatus::ReadWaiting);
    if (ended == LinkStatus::Complete) ++completed;
  }
  co_return completed;
}

Transaction TwoThenPauseThenOne(uclTzif& link) {
  ReplySink sink;
  const int completed = co_await SendTwo(link, sink);
  co_await link.WaitTicks(50);
  const LinkStatus last = co_await link.SendAndWait(sink, "CC,W,1", LinkStatus::WriteWaiting);
  co_return completed == 2 && last == LinkStatus::Complete;
}

class Transactions : public ::testing::Test {
 protected:
  Transactions() : dispatcher(h.link) { h.ForceConnected(); }

  LinkHarness h;
  FakeDispatcher dispatcher;
  Outcome outcome;
};

TEST_F(Transactions, ComposedTaskRunsToCompletionOnTheVirtualClock) {
  h.instrument.SetLatencyTicks(2);
  ASSERT_TRUE(h.link.Start(TwoThenPauseThenOne(h.link), outcome.Callback()));
  h.Tick(54);
  EXPECT_FALSE(outcome.result.has_value());
  h.Tick(1);
  EXPECT_EQ(outcome.result, std::optional<bool>(true));
  std::vector<long> sent;
  for (const auto& write : h.port.writes) {
    sent.push_back(write.tick);
  }
  // BB goes out with AA's reply; the pause starts with BB's reply on tick 4
  // and counts that tick's timer; CC's reply comes two ticks after it.
  EXPECT_EQ(sent, (std::vector<long>{0, 2, 53}));
  EXPECT_FALSE(h.link.TaskRunning());
}

TEST_F(Transactions, CommandsFollowEachOtherWithoutWaitingForATick) {
  std::vector<std::string> commands;
  for (int i = 0; i < 200; ++i) {
    commands.push_back("R" + std::string(1, static_cast<char>('A' + i % 26)) + ",R," +
                       std::to_string(i));
  }
  for (const bool atOnce : {true, false}) {
    SCOPED_TRACE(atOnce);
    h.port.writes.clear();
    outcome = {};
    h.instrument.AnswerAtOnce(atOnce);
    std::vector<LinkStatus> statuses;
    ASSERT_TRUE(h.link.Start(SendAll(h.link, commands, &statuses), outcome.Callback()));
    while (h.instrument.HasPendingReplies()) {
      h.instrument.Pump();  // replies as fast as they come, no tick in between
    }
    EXPECT_EQ(outcome.result, std::optional<bool>(true));
    EXPECT_EQ(h.port.writes.size(), 200u);
    EXPECT_EQ(h.port.currentTick, 0);
  }
}

TEST_F(Transactions, OneTransactionAtATimeAndOnDoneMayStartTheNext) {
  LinkStatus first = LinkStatus::Idle;
  LinkStatus second = LinkStatus::Idle;
  LinkStatus refused = LinkStatus::Idle;
  Outcome secondOutcome;
  h.instrument.SetLatencyTicks(1);
  ASSERT_TRUE(h.link.Start(SendOne(h.link, "AA,R,", LinkStatus::ReadWaiting, &first),
                           [&](bool) {
                             EXPECT_TRUE(h.link.Start(
                                 SendOne(h.link, "BB,R,", LinkStatus::ReadWaiting, &second),
                                 secondOutcome.Callback()));
                           }));
  EXPECT_FALSE(h.link.Start(SendOne(h.link, "XX,R,", LinkStatus::ReadWaiting, &refused)));
  h.Tick(2);
  EXPECT_EQ(first, LinkStatus::Complete);
  EXPECT_EQ(second, LinkStatus::Complete);
  EXPECT_EQ(refused, LinkStatus::Idle);
  EXPECT_EQ(secondOutcome.result, std::optional<bool>(true));
  EXPECT_EQ(h.instrument.Commands(), (std::vector<std::string>{"AA,R,", "BB,R,"}));
}

// Marks the destruction of the coroutine frame that holds it.
struct FrameGuard {
  bool* destroyed;
  ~FrameGuard() { *destroyed = true; }
};

Task<bool> WaitForAnswer(uclTzif& link, bool* destroyed) {
  const FrameGuard guard{destroyed};
  ReplySink sink;
  const LinkStatus ended = co_await link.SendAndWait(sink, "AA,R,", LinkStatus::ReadWaiting);
  co_return ended == LinkStatus::Complete;
}

Transaction Outer(uclTzif& link, bool* destroyed) {
  const bool answered = co_await WaitForAnswer(link, destroyed);
  co_return answered;
}

TEST(TransactionLifetime, DestroyingTheLinkDestroysAWaitingTransaction) {
  auto h = std::make_unique<LinkHarness>();
  FakeDispatcher dispatcher(h->link);
  h->instrument.EchoUnknown(false);
  h->ForceConnected();
  bool destroyed = false;
  ASSERT_TRUE(h->link.Start(Outer(h->link, &destroyed)));
  ASSERT_TRUE(h->link.TaskRunning());
  EXPECT_FALSE(destroyed);
  h.reset();
  EXPECT_TRUE(destroyed) << "the innermost frame goes with the link";
}

}  // namespace
}  // namespace kv::test
