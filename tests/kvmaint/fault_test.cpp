// A bad line during the read: every fault kvsim can inject ends either in the
// very file a clean read gives or in a clear error (exit 1, no file), and
// never in a hang.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kvmaint/harness/inprocess_support.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;

// The reply numbers kvsim counts include the connect probe's: reply 1 answers
// the probe, replies 2 to 201 the 200 commands of the read.
enum class Expect { SameFile, Error };

struct FaultCase {
  const char* name;
  std::vector<std::string> options;
  Expect expect;

  friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }
};

const std::string& CleanRead() {
  static const std::string bytes = [] {
    TempDir dir;
    Simulator sim;
    const std::string file = dir.File("clean.kvd");
    const ProgramResult read = Kvmaint({"get", "--port", sim.Device(), "--output", file});
    EXPECT_EQ(read.exitCode, 0) << read.err;
    return ReadBytes(file);
  }();
  return bytes;
}

class FaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultTest, EndsInTheCleanFileOrAClearError) {
  const std::string& clean = CleanRead();
  ASSERT_FALSE(clean.empty());
  TempDir dir;
  Simulator sim(GetParam().options);
  ASSERT_FALSE(sim.Device().empty());

  const ProgramResult read = Kvmaint({"get", "--port", sim.Device(), "--data-dir", dir.File("data")});

  ASSERT_FALSE(read.timedOut) << "kvmaint hung";
  if (GetParam().expect == Expect::SameFile) {
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_TRUE(ReadBytes(Lines(read.out).at(0)) == clean) << "a silently different file";
  } else {
    EXPECT_EQ(read.exitCode, 1);
    // The settings of the line, if it carries any, then the line itself.
    EXPECT_THAT(read.err, ::testing::ContainsRegex("get failed at ([^\"]+ \\()?\"[A-Z0-9]{2},R,"));
    EXPECT_EQ(read.out, "");
    const std::filesystem::path backups = dir.Dir() / "data" / "Backup";
    EXPECT_TRUE(!std::filesystem::exists(backups) || std::filesystem::is_empty(backups))
        << "no backup after a failed read";
  }
}

TEST(FailedReadTest, LeavesAnExistingOutputFileUntouched) {
  TempDir dir;
  Simulator sim({"--hangup", "100"});
  const std::string file = dir.File("kept.kvd");
  WriteBytes(file, "what was there before");
  const ProgramResult read = Kvmaint({"get", "--port", sim.Device(), "--output", file});
  EXPECT_EQ(read.exitCode, 1);
  EXPECT_EQ(ReadBytes(file), "what was there before");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultTest,
    ::testing::Values(
        FaultCase{"DropFirst", {"--drop", "2"}, Expect::SameFile},
        FaultCase{"DropMiddle", {"--drop", "120"}, Expect::SameFile},
        FaultCase{"DropLast", {"--drop", "201"}, Expect::SameFile},
        FaultCase{"DropProbe", {"--drop", "1"}, Expect::SameFile},
        FaultCase{"CorruptFirst", {"--corrupt", "2"}, Expect::SameFile},
        FaultCase{"CorruptMiddle", {"--corrupt", "57"}, Expect::SameFile},
        FaultCase{"CorruptLast", {"--corrupt", "201"}, Expect::SameFile},
        FaultCase{"GarbageFirst", {"--garbage", "2"}, Expect::SameFile},
        FaultCase{"GarbageMiddle", {"--garbage", "150"}, Expect::SameFile},
        FaultCase{"GarbageLast", {"--garbage", "201"}, Expect::SameFile},
        FaultCase{"DelayShort", {"--delay", "60:500"}, Expect::SameFile},
        // Past the 3 s reply time-out: the resend's answer is taken, the late
        // answer to the first sending is not taken for the next command's.
        FaultCase{"DelayPastTimeout", {"--delay", "60:4000"}, Expect::SameFile},
        FaultCase{"DelayTwoInARow", {"--delay", "60:3500", "--delay", "61:3500"}, Expect::SameFile},
        FaultCase{"HangUpFirst", {"--hangup", "2"}, Expect::Error},
        FaultCase{"HangUpMiddle", {"--hangup", "100"}, Expect::Error},
        FaultCase{"HangUpLast", {"--hangup", "200"}, Expect::Error},
        // More faults in a row than the retry budget of 3 resends.
        FaultCase{"DropBeyondRetries",
                  {"--drop", "80", "--drop", "81", "--drop", "82", "--drop", "83"},
                  Expect::Error},
        FaultCase{"CorruptBeyondRetries",
                  {"--corrupt", "80", "--corrupt", "81", "--corrupt", "82", "--corrupt", "83"},
                  Expect::Error},
        FaultCase{"GarbageBeyondRetries",
                  {"--garbage", "80", "--garbage", "81", "--garbage", "82", "--garbage", "83"},
                  Expect::Error}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::inproc
