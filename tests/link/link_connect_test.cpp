// The connect sequence: when it probes, how it closes and reopens the port,
// when it gives up, and what the modem lines do to the link.
#include <gtest/gtest.h>

#include "common/messages.h"
#include "link/fakes.h"

namespace kv::test {
namespace {

const std::string kProbeLine = BuildCommandLine("RC,R,      ");

std::vector<long> ProbeTicks(const ScriptedTransport& port) {
  std::vector<long> ticks;
  for (const auto& write : port.writes) {
    if (write.bytes == kProbeLine) {
      ticks.push_back(write.tick);
    }
  }
  return ticks;
}

struct SilentDeviceCase {
  const char* name;
  std::optional<ModemLines> lines;
  long firstProbeTick;  // counted from the opening of the port
};

class SilentDevice : public ::testing::TestWithParam<SilentDeviceCase> {};

TEST_P(SilentDevice, ThreeProbesTwentyThreeTicksApartThenOneAlarm) {
  LinkHarness h;
  h.instrument.DropExchange(1);
  h.instrument.DropExchange(2);
  h.instrument.DropExchange(3);
  h.port.modemLines = GetParam().lines;
  ASSERT_TRUE(h.link.SetPortOpen(true));

  h.Tick(GetParam().firstProbeTick + 3 * 23 + 40);

  const long first = GetParam().firstProbeTick;
  // 11 ticks waiting, one to close, one to reopen, 11 to the next probe.
  EXPECT_EQ(ProbeTicks(h.port), (std::vector<long>{first, first + 23, first + 46}));
  EXPECT_EQ(h.port.writes.size(), 3u);
  EXPECT_EQ(h.port.closes, 3);
  EXPECT_EQ(h.port.opens, 1 + 3);
  const auto alarms = h.events.Named("AlarmMessage");
  ASSERT_EQ(alarms.size(), 1u);
  EXPECT_EQ(alarms[0].argument, FormatMessage(msg::kNoResponse));
  EXPECT_EQ(alarms[0].tick, first + 69);
  EXPECT_EQ(h.link.State(), LinkState::Offline);
  EXPECT_EQ(h.link.Status(), LinkStatus::Idle);
  EXPECT_TRUE(h.events.Named("ConnectRetry").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Devices, SilentDevice,
    ::testing::Values(
        // Lines up at opening: 10 s for the adapter, then 11 ticks to the probe.
        SilentDeviceCase{"SerialAdapter", ModemLines{true, false}, 100 + 11},
        // No modem lines at all: probed at once, while the port is opened.
        SilentDeviceCase{"PseudoTerminal", std::nullopt, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectSequence, ConnectRetryOnEveryFifthProbe) {
  LinkHarness h;
  h.link.SetRetry(10);
  h.instrument.EchoUnknown(false);  // never answers
  h.port.modemLines = std::nullopt;
  h.link.SetPortOpen(true);

  h.Tick(1 + 10 * 23 + 20);

  const std::vector<long> probes = ProbeTicks(h.port);
  ASSERT_EQ(probes.size(), 10u);
  const auto retries = h.events.Named("ConnectRetry");
  ASSERT_EQ(retries.size(), 2u);
  EXPECT_EQ(retries[0].argument, "1");
  EXPECT_EQ(retries[0].tick, probes[4]);
  EXPECT_EQ(retries[1].argument, "2");
  EXPECT_EQ(retries[1].tick, probes[9]);
  EXPECT_EQ(h.events.Named("AlarmMessage").size(), 1u);
}

// The dispatcher's connect check, reduced to what the sequence needs.
void AcceptKorvinProbeReplies(LinkHarness& h) {
  h.link.SetReplyHandler([&h](std::string_view frame, ReplySink&) {
    if (frame.find("RC,R") != std::string_view::npos && frame.find("KORVIN") != std::string_view::npos) {
      h.link.ConnectReplyReceived();
      return true;
    }
    return false;
  });
}

TEST(ConnectSequence, AnsweredProbeConnectsOnce) {
  LinkHarness h;
  AcceptKorvinProbeReplies(h);
  h.instrument.Answer("RC,R,", "RC,R,KORVIN");
  h.instrument.SetLatencyTicks(2);
  h.port.modemLines = std::nullopt;
  h.link.SetPortOpen(true);

  h.Tick(3);
  EXPECT_EQ(h.link.State(), LinkState::Connected);
  EXPECT_EQ(h.link.Status(), LinkStatus::Complete);
  EXPECT_TRUE(h.link.Connected());
  h.Tick(100);
  EXPECT_EQ(h.events.Named("OnConnect").size(), 1u);
  EXPECT_EQ(ProbeTicks(h.port).size(), 1u);
}

TEST(ConnectSequence, LateProbeReplyAfterTheReopenStillConnects) {
  LinkHarness h;
  AcceptKorvinProbeReplies(h);
  h.instrument.Answer("RC,R,", "RC,R,KORVIN");
  h.instrument.DelayExchange(1, 13);  // after the 11-tick wait and the close
  h.port.modemLines = std::nullopt;
  h.link.SetPortOpen(true);
  h.Tick(16);
  EXPECT_EQ(h.link.State(), LinkState::Connected);
  EXPECT_EQ(h.events.Named("OnConnect").size(), 1u);
}

TEST(ConnectSequence, LinesUpArmTheStartAndDroppingThemLosesTheLink) {
  LinkHarness h;
  h.port.modemLines = ModemLines{false, false};
  h.link.SetPortOpen(true);
  h.Tick(300);
  EXPECT_TRUE(h.port.writes.empty()) << "no probe before the lines come up";

  h.link.OnModemLinesChanged(false, true);
  h.Tick(110);
  EXPECT_TRUE(h.port.writes.empty());
  h.Tick(1);
  EXPECT_EQ(ProbeTicks(h.port).size(), 1u);

  h.link.OnModemLinesChanged(false, false);
  EXPECT_EQ(h.link.State(), LinkState::Offline);
  EXPECT_EQ(h.events.Named("LinkLost").size(), 1u);
  h.Tick(300);
  EXPECT_EQ(ProbeTicks(h.port).size(), 1u) << "an Offline link does not probe";
}

TEST(ConnectSequence, LogsTheConnectionWithTheDate) {
  LinkHarness h;
  const std::string path = FreshTempPath("connect_log.log");
  ASSERT_TRUE(h.link.Log().Open(path));
  h.link.SetPortOpen(true);
  h.Tick(111);
  h.link.Log().Close();
  const std::string text = ReadBytes(path);
  EXPECT_NE(text.find("14:07:09 KORVIN ...Conneted. Date = 2026/03/05 14:07:09\r\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("---StartUp Connect Sequence Started---\r\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace kv::test
