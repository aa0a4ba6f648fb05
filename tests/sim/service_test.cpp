// Service operations as the program runs them: start commands acknowledged,
// completion polls answered "not finished" a few times and then with the
// result, the clock, the pump, power off and live readings.
#include <optional>
#include <functional>

#include "protocol/write_lines.h"
#include "sim_fixture.h"

namespace kv::sim::testing {
namespace {

constexpr std::size_t kFirstDataIndex = 10;  // c0 in the frame

class SimServiceTest : public SimSession {
 protected:
  // Writes an alarm mode as the program does (its record holds what it writes).
  bool WriteAlarmMode(Integer mode) {
    record.SetAlarmMode(mode);
    return Exchange(WriteLineAP(record));
  }
  // Polls as the program does until the operation reports its result.
  void PollUntilDone(const std::string& line, std::optional<std::string> ProgramLink::*result) {
    for (int poll = 0; poll < 10 && (link.*result).value_or("").empty(); ++poll) Exchange(line);
    ASSERT_FALSE((link.*result).value_or("").empty()) << line << " never finished";
  }
};

struct CompletionCase {
  std::string name;
  std::string start, poll;
  std::function<std::string(const ProgramLink&)> result;
  std::string expected;
};

TEST_F(SimServiceTest, CompletionPollsAnswerNotFinishedThenTheResult) {
  const std::vector<CompletionCase> cases = {
      {"zero calibration", WriteLineSZ(), CompletionLineSZ(),
       [](const ProgramLink& l) { return l.zeroResult.value_or(""); }, "0000002"},
      {"span calibration", WriteLineS2("1"), CompletionLineS2(),
       [](const ProgramLink& l) { return l.spanResult.value_or(""); }, "0000002"},
      {"span calibration started with S1", "S1,W,", "S1,C,",
       [](const ProgramLink& l) { return l.spanResult.value_or(""); }, "0000002"},
      {"default settings", WriteLineUX(10), CompletionLineUX(),
       [](const ProgramLink& l) { return l.defaultStatus.value_or(""); }, "0"},
  };
  for (const CompletionCase& c : cases) {
    SCOPED_TRACE(c.name);
    link = ProgramLink{};
    ASSERT_TRUE(Exchange(c.start));
    for (int poll = 0; poll < SimDeviceOptions{}.busyPolls; ++poll) {
      const std::string reply = Ask(c.poll);
      ASSERT_GT(reply.size(), kFirstDataIndex);
      EXPECT_EQ(reply[kFirstDataIndex], kSUB) << "poll " << poll;
      ApplyReply(reply, &record, link);  // accepted or resent: either way not finished
      EXPECT_EQ(c.result(link), "");
    }
    EXPECT_TRUE(Exchange(c.poll));
    EXPECT_EQ(c.result(link), c.expected);
    EXPECT_TRUE(link.log.empty()) << link.log.front();
  }
}

TEST_F(SimServiceTest, CompletionPollWithoutAnOperationIsNotFinished) {
  const std::string reply = Ask(CompletionLineSZ());
  ASSERT_GT(reply.size(), kFirstDataIndex);
  EXPECT_EQ(reply[kFirstDataIndex], kSUB);
}

TEST_F(SimServiceTest, SpanCalibrationStampsTheCalibrationHistory) {
  ASSERT_TRUE(Exchange(WriteLineS2("1")));
  clock.AdvanceSeconds(90);
  PollUntilDone(CompletionLineS2(), &ProgramLink::spanResult);
  record = State();  // the history is scaled with the channel settings
  ASSERT_TRUE(Exchange("SO,R,0"));
  EXPECT_EQ(FromSerialDate(record.CalibDate(3)), (DateTime{2026, 3, 5, 14, 8, 39}));
  EXPECT_FLOAT_EQ(record.CalibAfter(3), 50.0F);
  EXPECT_FLOAT_EQ(record.CalibAfter(0), 50.0F);  // catalytic: through FL_(0)
}

struct BusyCase {
  std::string name;
  std::string start;
  std::function<void(const SimDevice&)> check;
};

TEST_F(SimServiceTest, BusyPollAnswersBusyThenDone) {
  const std::vector<BusyCase> cases = {
      {"data logger erase", EndLineXC(),
       [](const SimDevice& d) { EXPECT_EQ(d.DataLogRecords(), 0); }},
      {"factory settings", WriteLineUP(),
       [](const SimDevice& d) {
         EXPECT_EQ(d.Settings().AlarmMode(), d.FactorySettings().AlarmMode());
       }},
  };
  for (const BusyCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteAlarmMode(3));
    ASSERT_TRUE(Exchange(c.start));
    for (int poll = 0; poll < SimDeviceOptions{}.busyPolls; ++poll) {
      EXPECT_TRUE(Exchange(ReadLineBP()));
      EXPECT_EQ(link.busyPoll, false) << "poll " << poll;
    }
    EXPECT_TRUE(Exchange(ReadLineBP()));
    EXPECT_EQ(link.busyPoll, true);
    c.check(sim.Device());
  }
}

TEST_F(SimServiceTest, DefaultSettingsRestoreWhatTheInstrumentCameWith) {
  ASSERT_TRUE(WriteAlarmMode(3));
  record.SetSerialNo("KV00-0000001");
  ASSERT_TRUE(Exchange(WriteLineIN(record)));
  ASSERT_TRUE(Exchange(WriteLineUX(1)));
  PollUntilDone(CompletionLineUX(), &ProgramLink::defaultStatus);
  EXPECT_EQ(State().AlarmMode(), 1);
  EXPECT_EQ(State().SerialNo(), "KV00-0000001");  // the identity stays
}

TEST_F(SimServiceTest, ClockWriteIsEchoedAndSetsTheInstrumentClock) {
  ASSERT_TRUE(Exchange(WriteLineHC(DateTime{2027, 1, 2, 3, 4, 5})));
  clock.AdvanceSeconds(10);
  ASSERT_TRUE(Exchange("HC,R,"));
  EXPECT_EQ(FromSerialDate(record.SysDate()), (DateTime{2027, 1, 2, 3, 4, 15}));
}

TEST_F(SimServiceTest, InvalidClockIsRefused) {
  EXPECT_FALSE(Exchange("HC,W,271302030405"));
  EXPECT_EQ(sim.Device().InstrumentNow(), clock.Now());
}

TEST_F(SimServiceTest, ControlCommandsAreAcknowledgedWithAck) {
  for (const std::string& line : {WriteLineRO(), WriteLineET(), WriteLineUD()}) {
    SCOPED_TRACE(line);
    const std::string reply = Ask(line);
    ASSERT_GT(reply.size(), kFirstDataIndex);
    EXPECT_EQ(reply[kFirstDataIndex], kACK);
    EXPECT_TRUE(ApplyReply(reply, &record, link));
  }
  EXPECT_EQ(sim.Device().PowerOffRequests(), 1);
}

TEST_F(SimServiceTest, PumpSwitchesAndBusyPollReportsIt) {
  ASSERT_TRUE(Exchange(WriteLineBP(false)));
  EXPECT_FALSE(sim.Device().PumpOn());
  EXPECT_EQ(Ask(ReadLineBP()), BuildCommandLine("BP,R,0,", kEOT, "00"));
  ASSERT_TRUE(Exchange(WriteLineBP(true)));
  EXPECT_TRUE(sim.Device().PumpOn());
}

TEST_F(SimServiceTest, ConnectProbeNamesTheModel) {
  ASSERT_TRUE(Exchange("RC,R,      "));
  EXPECT_EQ(link.connects, 1);
}

TEST_F(SimServiceTest, LiveReadingsMoveAndMarkTheEmptySlot) {
  record = State();
  ASSERT_TRUE(Exchange(ReadLineDN()));
  ASSERT_TRUE(Exchange(ReadLineDN()));
  ASSERT_TRUE(Exchange(ReadLineDN()));
  ASSERT_EQ(link.readings.size(), 3U);
  EXPECT_NE(link.readings[0], link.readings[1]);
  EXPECT_NE(link.readings[1], link.readings[2]);
  for (const auto& values : link.readings) {
    for (int k = 0; k < 6; ++k) {
      EXPECT_GE(values[static_cast<std::size_t>(k)], 0.0F) << k;
      EXPECT_LE(values[static_cast<std::size_t>(k)], State().GasFullScale(k)) << k;
    }
    EXPECT_NEAR(values[1], 20.9F, 0.5F);
    EXPECT_FLOAT_EQ(values[6], -121.0F);
  }
}

TEST_F(SimServiceTest, UnknownReadIndexIsRefusedWithNak) {
  for (const char* line : {"LS,R,11", "LA,R,24", "G1,R,7", "XZ,R,21", "SO,R,8", "LI,R,ZZ"}) {
    SCOPED_TRACE(line);
    const std::string reply = Ask(line);
    ASSERT_GT(reply.size(), kFirstDataIndex);
    EXPECT_EQ(reply[kFirstDataIndex], kNAK);
  }
}

}  // namespace
}  // namespace kv::sim::testing
