// The current readings polled once a second (kvmaint live, the live window)
// and the serial number read alone (before kvmaint records an operation).
#include <gtest/gtest.h>

#include "link/transaction_fakes.h"
#include "link/transactions.h"

namespace kv::test {
namespace {

class PollReadingsTest : public TransactionTest {
 protected:
  PollReadingsTest() { AcceptEverything(h.link); }

  int DenstyCommands() const {
    return static_cast<int>(std::count(Commands().begin(), Commands().end(), "DN,R,"));
  }

  clsInstrument record;
};

TEST_F(PollReadingsTest, EndsAfterTheCountTheStopOrTheFirstFailedPoll) {
  constexpr int kNever = -1;
  const struct {
    const char* name;
    int count;
    int stopAfterReadings;  // set `stop` in the callback after this many
    int answeredPolls;      // polls the instrument answers before falling silent
    bool expected;
    int readings;
  } kCases[] = {
      {"count", 3, kNever, kNever, true, 3},
      {"stop with no count", 0, 2, kNever, true, 2},
      {"stop before the count", 5, 1, kNever, true, 1},
      {"silent after the first", 0, kNever, 1, false, 1},
      {"silent from the start", 2, kNever, 0, false, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    LinkHarness fresh;
    fresh.ForceConnected();
    fresh.instrument.SetLatencyTicks(1);
    AcceptEverything(fresh.link);
    if (c.answeredPolls != kNever) {
      std::vector<std::string> replies(static_cast<std::size_t>(c.answeredPolls), "DN,R,");
      replies.push_back("ZZ,Z,");  // a reply to another command: the poll goes unanswered
      fresh.instrument.AnswerBy(InTurn("DN,R", replies));
    }
    bool stop = false;
    int readings = 0;
    Outcome outcome;
    ASSERT_TRUE(fresh.link.Start(PollReadings(fresh.link, record, c.count, &stop,
                                              [&] {
                                                ++readings;
                                                if (readings == c.stopAfterReadings) stop = true;
                                              }),
                                 outcome.Callback()));
    for (int i = 0; i < 2000 && !outcome.result; ++i) fresh.Tick();
    EXPECT_EQ(outcome.result, std::optional<bool>(c.expected));
    EXPECT_EQ(readings, c.readings);
  }
}

TEST_F(PollReadingsTest, PausesASecondBetweenPollsAndNoneAfterTheLast) {
  EXPECT_EQ(Run(PollReadings(h.link, record, 3)), std::optional<bool>(true));
  ASSERT_EQ(DenstyCommands(), 3);
  ASSERT_EQ(h.port.writes.size(), 3u);
  for (std::size_t i = 1; i < h.port.writes.size(); ++i) {
    EXPECT_GE(h.port.writes[i].tick - h.port.writes[i - 1].tick, uclTzif::kDenstyPollTicks);
  }
}

TEST_F(PollReadingsTest, AStopDuringThePauseSendsNoFurtherPoll) {
  bool stop = false;
  Start(PollReadings(h.link, record, 0, &stop));
  for (int i = 0; i < 5; ++i) h.Tick();  // the first reply is in, the pause runs
  ASSERT_EQ(DenstyCommands(), 1);
  stop = true;
  for (int i = 0; i < 100 && !Result(); ++i) h.Tick();
  EXPECT_EQ(Result(), std::optional<bool>(true));
  EXPECT_EQ(DenstyCommands(), 1);
}

using ReadSerialNumberTest = TransactionTest;

TEST_F(ReadSerialNumberTest, ReadsTheSerialNumberAloneIntoTheRecord) {
  h.instrument.Answer("IN,R", "IN,R,S1234567");
  clsInstrument record;
  EXPECT_EQ(Run(ReadSerialNumber(h.link, record)), std::optional<bool>(true));
  EXPECT_EQ(Commands(), std::vector<std::string>{"IN,R,"});
  EXPECT_EQ(record.SerialNo(), "S1234567");
}

}  // namespace
}  // namespace kv::test
