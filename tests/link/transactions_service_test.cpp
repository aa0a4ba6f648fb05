// The service operations with the real reply dispatcher: the lines they send,
// how their completion polls end (result, bound, Cancel, lost link) and what
// they log.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "link/transaction_fakes.h"
#include "link/transactions.h"

namespace kv::test {
namespace {

// Every operation as the window starts it; `results` receives what the
// calibrations report.
using Operation = Transaction (*)(uclTzif& link, ReplySink& results);

std::string Name(const char* name) { return name; }

Transaction DataClear(uclTzif& link, ReplySink&) { return BodyDataClear(link); }
Transaction FactorySettings(uclTzif& link, ReplySink&) { return RestoreFactorySet(link); }
Transaction Defaults3(uclTzif& link, ReplySink&) { return DefaultInstrument(link, 3); }
Transaction Span0100(uclTzif& link, ReplySink& results) { return SpanCal(link, results, "0100"); }

// ---- one exchange ------------------------------------------------------------------

struct SingleLineCase {
  const char* name;
  Operation operation;
  const char* command;
};
void PrintTo(const SingleLineCase& c, std::ostream* os) { *os << c.name; }

class SingleLineTest : public TransactionTest,
                       public ::testing::WithParamInterface<SingleLineCase> {};

TEST_P(SingleLineTest, SendsItsLineAndSucceedsOnTheAcknowledgement) {
  ReplySink results;
  EXPECT_EQ(Run(GetParam().operation(h.link, results)), std::optional<bool>(true));
  EXPECT_EQ(Commands(), (std::vector<std::string>{GetParam().command}));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SingleLineTest,
    ::testing::Values(
        SingleLineCase{"Clock",
                       [](uclTzif& link, ReplySink&) -> Transaction {
                         return SetDateTime(link, DateTime{2026, 3, 5, 14, 7, 9});
                       },
                       "HC,W,260305140709"},
        SingleLineCase{"PumpOn", [](uclTzif& link, ReplySink&) { return SetPump(link, true); },
                       "BP,W,1"},
        SingleLineCase{"PumpOff", [](uclTzif& link, ReplySink&) { return SetPump(link, false); },
                       "BP,W,0"}),
    [](const auto& info) { return Name(info.param.name); });

// ---- defaults ------------------------------------------------------------------------

struct DefaultsCase {
  const char* outcome;
  bool result;
  const char* log;
};
void PrintTo(const DefaultsCase& c, std::ostream* os) { *os << c.outcome; }

class DefaultInstrumentTest : public TransactionTest,
                              public ::testing::WithParamInterface<DefaultsCase> {};

TEST_P(DefaultInstrumentTest, PollsUntilTheOutcomeArrives) {
  h.instrument.Answer("UX,W,", WithAck("UX,W,"));
  h.instrument.AnswerBy(InTurn(
      "UX,C,", {WithSub("UX,C,"), WithSub("UX,C,"), std::string("UX,C,") + GetParam().outcome}));
  EXPECT_EQ(Run(DefaultInstrument(h.link, 10)), std::optional<bool>(GetParam().result));
  EXPECT_EQ(Commands(), (std::vector<std::string>{"UX,W,A", "UX,C,", "UX,C,", "UX,C,"}));
  EXPECT_TRUE(Logged(GetParam().log));
}

INSTANTIATE_TEST_SUITE_P(Outcomes, DefaultInstrumentTest,
                         ::testing::Values(DefaultsCase{"0", true, "DEFAULT finished"},
                                           DefaultsCase{"1", false, "DEFAULT failed"}),
                         [](const auto& info) { return Name(info.param.outcome); });

// ---- calibrations --------------------------------------------------------------------

struct CalibrationCase {
  const char* name;
  Operation operation;
  const char* start;
  const char* poll;
  int (*status)(const ReplySink& results, int channel);
};
void PrintTo(const CalibrationCase& c, std::ostream* os) { *os << c.name; }

class CalibrationTest : public TransactionTest,
                        public ::testing::WithParamInterface<CalibrationCase> {};

TEST_P(CalibrationTest, KeepsPollingWhileTheInstrumentIsBusyAndEndsOnTheSevenResults) {
  const CalibrationCase& c = GetParam();
  const std::string poll = c.poll;
  h.instrument.Answer(c.start, WithAck(std::string(c.start, 5)));
  std::vector<std::string> replies(5, WithSub(poll));
  replies.push_back(poll + "0,0,0,1,0,0,0");
  h.instrument.AnswerBy(InTurn(poll, replies));

  ReplySink results;
  EXPECT_EQ(Run(c.operation(h.link, results)), std::optional<bool>(true));
  std::vector<std::string> expected{c.start};
  expected.insert(expected.end(), 6, poll);
  EXPECT_EQ(Commands(), expected);
  EXPECT_EQ(c.status(results, 3), 1);
  EXPECT_EQ(c.status(results, 2), 0);
  for (std::size_t i = 2; i < h.port.writes.size(); ++i) {
    EXPECT_GE(h.port.writes[i].tick - h.port.writes[i - 1].tick, kCalibrationPollTicks);
  }
}

TEST_P(CalibrationTest, APollTheDispatcherRefusesEndsTheCalibration) {
  const CalibrationCase& c = GetParam();
  h.instrument.Answer(c.start, WithAck(std::string(c.start, 5)));
  h.instrument.Answer(c.poll, std::string(c.poll) + "1,2");
  ReplySink results;
  EXPECT_EQ(Run(c.operation(h.link, results)), std::optional<bool>(false));
  EXPECT_EQ(c.status(results, 0), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CalibrationTest,
    ::testing::Values(CalibrationCase{"Zero", ZeroCal, "SZ,W,", "SZ,C,", ZeroStatus},
                      CalibrationCase{"Span", Span0100, "S2,W,0100", "S2,C,", SpanStatus}),
    [](const auto& info) { return Name(info.param.name); });

TEST(CalibrationStatus, GivesTheChannelsDigitOnlyForASevenCharacterResultAndAChannelInRange) {
  ReplySink results;
  EXPECT_EQ(ZeroStatus(results, 0), -1) << "no result yet";
  EXPECT_EQ(SpanStatus(results, 0), -1) << "no result yet";
  const struct {
    const char* result;
    int channel;
    int expected;
  } kCases[] = {
      {"0001000", 3, 1},   {"0001000", 0, 0},  {"0001002", 6, 2},   {"000100", 3, -1},
      {"00010000", 3, -1}, {"0001000", 7, -1}, {"0001000", -1, -1}, {"000X000", 3, -1},
  };
  for (const auto& c : kCases) {
    results.zeroResult = c.result;
    results.spanResult = c.result;
    EXPECT_EQ(ZeroStatus(results, c.channel), c.expected) << c.result << " channel " << c.channel;
    EXPECT_EQ(SpanStatus(results, c.channel), c.expected) << c.result << " channel " << c.channel;
  }
}

// ---- data clearing and factory settings -------------------------------------------------

struct BusyPollCase {
  const char* name;
  Operation operation;
  const char* start;
  int pauseTicks;
  const char* finishedLog;
};
void PrintTo(const BusyPollCase& c, std::ostream* os) { *os << c.name; }

class BusyPollTest : public TransactionTest, public ::testing::WithParamInterface<BusyPollCase> {};

TEST_P(BusyPollTest, PollsWhileTheInstrumentAnswersBusyAndEndsOnTheFirstReadyAnswer) {
  const BusyPollCase& c = GetParam();
  h.instrument.Answer(c.start, WithAck(c.start));
  h.instrument.AnswerBy(InTurn("BP,R,", {"BP,A,", "BP,A,", "BP,A,", "BP,R,", "BP,A,"}));
  ReplySink results;
  EXPECT_EQ(Run(c.operation(h.link, results)), std::optional<bool>(true));
  std::vector<std::string> expected{c.start};
  expected.insert(expected.end(), 4, "BP,R,");
  EXPECT_EQ(Commands(), expected);
  for (std::size_t i = 2; i < h.port.writes.size(); ++i) {
    EXPECT_GE(h.port.writes[i].tick - h.port.writes[i - 1].tick, c.pauseTicks);
  }
  EXPECT_TRUE(Logged(c.finishedLog));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, BusyPollTest,
    ::testing::Values(BusyPollCase{"DataClear", DataClear, "XC,E,", kDataClearPollTicks,
                                   "--- Data Remove Finished---.\r\n"},
                      BusyPollCase{"FactorySettings", FactorySettings, "UP,W,", kFactoryPollTicks,
                                   "Restore Factory Settings ... Finished"}),
    [](const auto& info) { return Name(info.param.name); });

// The window and kvmaint set SerialComm, which makes Connected() read true
// whatever the session: a lost line must end the polls either way.
class LostLineTest : public TransactionTest, public ::testing::WithParamInterface<bool> {
 protected:
  LostLineTest() { h.link.SetSerialComm(GetParam()); }
};

std::string SerialCommName(bool serialComm) {
  return serialComm ? "SerialCommSet" : "SerialCommUnset";
}

TEST_P(LostLineTest, DataClearEndsAtOnceWhenTheLinkIsLostBetweenPolls) {
  h.instrument.Answer("XC,E,", WithAck("XC,E,"));
  h.instrument.Answer("BP,R,", "BP,A,");
  h.instrument.HangUpAfter(3);  // the lines drop with the second busy answer
  EXPECT_EQ(Run(BodyDataClear(h.link)), std::optional<bool>(false));
  // Ended with the drop during the pause: no time-out ran out, no poll went out after it.
  EXPECT_EQ(Commands().size(), 3u);
  EXPECT_LE(h.port.currentTick, 2L * kDataClearPollTicks + 4);
  EXPECT_TRUE(Logged("--- Data Remove Start Sequence---"));
  EXPECT_TRUE(Logged("--- Data Remove Failed---."));
}

INSTANTIATE_TEST_SUITE_P(SerialComm, LostLineTest, ::testing::Bool(),
                         [](const auto& info) { return SerialCommName(info.param); });

// ---- every completion poll: bound, Cancel, failed start ---------------------------------

struct PollCase {
  const char* name;
  Operation operation;
  const char* start;
  const char* poll;
  std::string busyAnswer;
  int pauseTicks;
  const char* startFailedLog;
  const char* pollFailedLog;  // nothing: the operation logs only a failed start
};
void PrintTo(const PollCase& c, std::ostream* os) { *os << c.name; }

const PollCase kPollCases[] = {
    {"DataClear", DataClear, "XC,E,", "BP,R,", "BP,A,", kDataClearPollTicks,
     "--- Data Remove Failed---.", "--- Data Remove Failed---."},
    {"FactorySettings", FactorySettings, "UP,W,", "BP,R,", "BP,A,", kFactoryPollTicks,
     "Restore Factory Settings ... Failed", "Restore Factory Settings ... Failed"},
    {"Defaults", Defaults3, "UX,W,3", "UX,C,", WithSub("UX,C,"), kDefaultsPollTicks,
     "DEFAULT failed", "DEFAULT failed"},
    {"ZeroCalibration", ZeroCal, "SZ,W,", "SZ,C,", WithSub("SZ,C,"), kCalibrationPollTicks,
     "---Calibration Upload Failed---. Date = 2026/03/05 14:07:", nullptr},
    {"SpanCalibration", Span0100, "S2,W,0100", "S2,C,", WithSub("S2,C,"), kCalibrationPollTicks,
     "---Calibration Upload Failed---. Date = 2026/03/05 14:07:", nullptr},
};

class CompletionPollTest : public TransactionTest, public ::testing::WithParamInterface<PollCase> {
 protected:
  // An instrument that takes the start command and then never finishes.
  void NeverFinishing() {
    const PollCase& c = GetParam();
    h.instrument.Answer(c.start, WithAck(std::string(c.start, 5)));
    h.instrument.Answer(c.poll, c.busyAnswer);
  }
  std::size_t Polls() const {
    return static_cast<std::size_t>(
        std::count(Commands().begin(), Commands().end(), std::string(GetParam().poll)));
  }

  ReplySink results;
};

TEST_P(CompletionPollTest, AnInstrumentThatNeverFinishesIsGivenUpAtTheBound) {
  NeverFinishing();
  const std::optional<bool> result =
      Run(GetParam().operation(h.link, results), 3 * kCompletionPollLimitTicks);
  ASSERT_TRUE(result.has_value()) << "still polling after " << h.port.currentTick << " ticks";
  EXPECT_FALSE(*result);
  EXPECT_EQ(Polls(), static_cast<std::size_t>(kCompletionPollLimitTicks / GetParam().pauseTicks));
  EXPECT_GE(h.port.currentTick, kCompletionPollLimitTicks);
  EXPECT_TRUE(Logged("Completion poll given up after 180 s"));
  if (GetParam().pollFailedLog != nullptr) {
    EXPECT_TRUE(Logged(GetParam().pollFailedLog));
  }
}

TEST_P(CompletionPollTest, CancelBetweenPollsEndsAtOnce) {
  NeverFinishing();
  Start(GetParam().operation(h.link, results));
  while (Polls() < 2 && h.port.currentTick < kCompletionPollLimitTicks) h.Tick();
  h.Tick(3);  // the busy answer is in; the pause runs
  h.link.SetCancel(true);
  h.Tick();
  EXPECT_EQ(Result(), std::optional<bool>(false));
  EXPECT_EQ(Polls(), 2u);
}

TEST_P(CompletionPollTest, CancelWhileAPollAwaitsItsAnswerEndsAtOnce) {
  NeverFinishing();
  h.instrument.SetLatencyTicks(8);
  Start(GetParam().operation(h.link, results));
  while (Polls() < 2 && h.port.currentTick < kCompletionPollLimitTicks) h.Tick();
  h.link.SetCancel(true);
  h.Tick();
  EXPECT_EQ(Result(), std::optional<bool>(false));
  EXPECT_EQ(Polls(), 2u);
}

TEST_P(CompletionPollTest, AStartCommandWithoutAcknowledgementFailsWithoutPolling) {
  h.instrument.AnswerBy(SilentTo(GetParam().start));
  EXPECT_EQ(Run(GetParam().operation(h.link, results)), std::optional<bool>(false));
  EXPECT_EQ(Polls(), 0u);
  EXPECT_TRUE(Logged(GetParam().startFailedLog));
}

INSTANTIATE_TEST_SUITE_P(Operations, CompletionPollTest, ::testing::ValuesIn(kPollCases),
                         [](const auto& info) { return Name(info.param.name); });

class CompletionPollLostLineTest
    : public TransactionTest,
      public ::testing::WithParamInterface<std::tuple<PollCase, bool>> {};

TEST_P(CompletionPollLostLineTest, ALineLostBetweenPollsEndsThePollsAtOnce) {
  const auto& [c, serialComm] = GetParam();
  h.link.SetSerialComm(serialComm);
  h.instrument.Answer(c.start, WithAck(std::string(c.start, 5)));
  h.instrument.Answer(c.poll, c.busyAnswer);
  h.instrument.HangUpAfter(3);  // the lines drop with the second busy answer
  ReplySink results;
  EXPECT_EQ(Run(c.operation(h.link, results)), std::optional<bool>(false));
  EXPECT_EQ(std::count(Commands().begin(), Commands().end(), std::string(c.poll)), 2);
  EXPECT_LE(h.port.currentTick, 2L * c.pauseTicks + 4);
}

INSTANTIATE_TEST_SUITE_P(Operations, CompletionPollLostLineTest,
                         ::testing::Combine(::testing::ValuesIn(kPollCases), ::testing::Bool()),
                         [](const auto& info) {
                           return Name(std::get<0>(info.param).name) +
                                  SerialCommName(std::get<1>(info.param));
                         });

TEST_F(TransactionTest, OperationsThatStartAfreshClearAStaleCancel) {
  h.instrument.Answer("XC,E,", WithAck("XC,E,"));
  h.instrument.Answer("BP,R,", "BP,R,");
  h.link.SetCancel(true);
  EXPECT_EQ(Run(BodyDataClear(h.link)), std::optional<bool>(true));
}

// ---- power off --------------------------------------------------------------------------

class PowerOffTest : public TransactionTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PowerOffTest, ClosesThePortWaitsResetsAndTellsWhetherTheInstrumentTookIt) {
  const bool answers = GetParam();
  if (answers) {
    h.instrument.Answer("RO,W,", WithAck("RO,W,"));
  } else {
    h.instrument.AnswerBy(SilentTo("RO,W,"));
  }
  bool acknowledged = !answers;
  EXPECT_EQ(Run(BodyPowerOff(h.link, &acknowledged)), std::optional<bool>(true));
  EXPECT_EQ(acknowledged, answers);
  EXPECT_EQ(Commands().front(), "RO,W,");
  EXPECT_FALSE(h.port.IsOpen());
  EXPECT_EQ(h.link.State(), LinkState::Offline);
  EXPECT_EQ(h.link.Status(), LinkStatus::Idle);
  // Five seconds after the exchange (whose last tick counts as the first).
  EXPECT_GE(h.port.currentTick, kPowerOffSettleTicks);
  EXPECT_TRUE(Logged("---Auto Power OFF Start Sequence---."));
  EXPECT_TRUE(Logged("---Auto Power OFF Finished---."));
}

INSTANTIATE_TEST_SUITE_P(Answers, PowerOffTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Acknowledged" : "Silent"; });

}  // namespace
}  // namespace kv::test
