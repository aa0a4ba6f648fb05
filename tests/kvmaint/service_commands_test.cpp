// kvmaint's service commands against the simulated instrument, and Ctrl-C.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "kvmaint/harness/inprocess_support.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

struct ServiceCase {
  const char* name;
  std::vector<std::string> args;
  std::vector<std::string> simOptions;
  int exitCode;
  std::string stdoutPattern;  // the whole of stdout

  friend void PrintTo(const ServiceCase& c, std::ostream* os) { *os << c.name; }
};

class ServiceCommandTest : public ::testing::TestWithParam<ServiceCase> {};

TEST_P(ServiceCommandTest, EndsAsTheInstrumentAnswers) {
  Simulator sim(GetParam().simOptions);
  ASSERT_FALSE(sim.Device().empty());
  std::vector<std::string> args = GetParam().args;
  args.insert(args.end(), {"--port", sim.Device()});
  const ProgramResult result = Kvmaint(args);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.err;
  EXPECT_THAT(result.out, MatchesRegex(GetParam().stdoutPattern));
}

const std::string kReading = "[^\t\n]+";
const std::string kReadingsLine = kReading + "(\t" + kReading + "){6}\n";
// kvsim counts replies from the connect probe's (1); the command's first is 2.
const std::vector<std::string> kFirstCommandUnanswered{"--drop", "2", "--drop", "3", "--drop", "4",
                                                       "--drop", "5"};

// One line per channel: number, gas name, status digit or "-".
const std::string kChannelResults = "([1-7]  [^ \n]+ +([0-9]|-)\n){7}";
const std::string kNoChannelResults = "([1-7]  [^ \n]+ +-\n){7}";
// The five channel reads (2..6) and the serial number (7) are answered, the
// calibration's start (8) is not.
const std::vector<std::string> kCalibrationStartUnanswered{"--drop", "8", "--drop", "9", "--drop", "10",
                                                           "--drop", "11"};

INSTANTIATE_TEST_SUITE_P(
    Commands, ServiceCommandTest,
    ::testing::Values(
        ServiceCase{"SetClock", {"set-clock"}, {}, 0,
                    "[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\n"},
        ServiceCase{"Zero", {"zero", "--yes"}, {}, 0, kChannelResults},
        ServiceCase{"Span", {"span", "--yes"}, {}, 0, kChannelResults},
        ServiceCase{"ClearLog", {"clear-log", "--yes"}, {"--busy-polls", "0"}, 0, ""},
        ServiceCase{"PowerOff", {"power-off", "--yes"}, {}, 0,
                    "the instrument acknowledged and is switching off\n"},
        ServiceCase{"Live", {"live", "--count", "2"}, {}, 0, kReadingsLine + kReadingsLine},
        ServiceCase{"PowerOffUnacknowledged", {"power-off", "--yes", "--timeout", "1"},
                    kFirstCommandUnanswered, 1, ""},
        ServiceCase{"SetClockUnanswered", {"set-clock", "--timeout", "1"}, kFirstCommandUnanswered,
                    1, ""},
        ServiceCase{"ZeroNotStarted", {"zero", "--yes", "--timeout", "1"}, kCalibrationStartUnanswered, 1,
                    kNoChannelResults},
        ServiceCase{"LiveUnanswered", {"live", "--timeout", "1"}, kFirstCommandUnanswered, 1, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InterruptTest, CtrlCDuringLiveEndsWith130) {
  Simulator sim;
  ASSERT_FALSE(sim.Device().empty());
  const ProgramResult ended =
      Kvmaint({"live", "--port", sim.Device()}, InterruptAfter(10000));
  EXPECT_FALSE(ended.timedOut);
  EXPECT_EQ(ended.exitCode, 130) << ended.err;
  EXPECT_FALSE(Lines(ended.out).empty()) << "no reading";

  // The port was let go: the next session finds the instrument again.
  const ProgramResult after = Kvmaint({"live", "--count", "1", "--port", sim.Device()});
  EXPECT_EQ(after.exitCode, 0) << after.err;
}

TEST(InterruptTest, InterruptWhileAReplyIsAwaitedEndsWith130AndWritesNothing) {
  TempDir dir;
  Simulator sim({"--delay", "50:30000"});
  ASSERT_FALSE(sim.Device().empty());
  const std::string file = dir.File("never.kvd");
  // Well into the wait for reply 50.
  const ProgramResult ended =
      Kvmaint({"get", "--port", sim.Device(), "--timeout", "60", "--output", file},
              InterruptAfter(20000));
  EXPECT_FALSE(ended.timedOut);
  EXPECT_EQ(ended.exitCode, 130) << ended.err;
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace kv::inproc
