// kvmaint dump against the simulated instrument: images equal to the simulator's memories, and an
// interrupted dump that keeps what arrived.
#include <filesystem>
#include <string>

#include "kvmaint/harness/inprocess_support.h"

namespace kv::inproc {
namespace {

constexpr std::size_t kFlashSize = 4194304;

TEST(DumpTest, ImagesEqualTheSimulatorsMemories) {
  TempDir dir;
  const std::string simFlash = dir.File("sim-flash.bin");
  const std::string simFram = dir.File("sim-fram.bin");
  Simulator sim({"--flash-out", simFlash, "--fram-out", simFram});
  ASSERT_FALSE(sim.Device().empty());
  struct Case {
    const char* option;
    const char* file;
    const std::string& expected;
  };
  for (const Case& c : {Case{"--flash", "flash.bin", simFlash}, Case{"--fram", "fram.bin", simFram}}) {
    SCOPED_TRACE(c.option);
    const std::string image = dir.File(c.file);
    const ProgramResult result = Kvmaint({"dump", c.option, image, "--port", sim.Device()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, image + "\n");
    const std::string expected = ReadBytes(c.expected);
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(ReadBytes(image) == expected) << "the image differs from the simulator's memory";
  }
}

TEST(DumpTest, ListingOfTheLoggerArea) {
  TempDir dir;
  Simulator sim;
  ASSERT_FALSE(sim.Device().empty());
  const std::string listing = dir.File("list.txt");
  const ProgramResult result = Kvmaint({"dump", "--listing", "ES", listing, "--port", sim.Device()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::vector<std::string> lines = Lines(ReadBytes(listing));
  ASSERT_GT(lines.size(), 8U);
  EXPECT_EQ(lines[0], ";\tKORVIN Data Logger Program\r");
  EXPECT_EQ(lines[6].substr(0, 55), "000000 4B 4F 52 56 49 4E 20 46  52 41 4D 20 4B 56 32 34");
}

// The stream stops after kSent bytes; Ctrl-C comes long after, well within
// the 60 s time-out.
TEST(DumpTest, CtrlCPartWayKeepsWhatArrivedAndTheFilling) {
  TempDir dir;
  const std::string simFlash = dir.File("sim-flash.bin");
  constexpr std::size_t kSent = 100000;
  Simulator sim({"--flash-out", simFlash, "--dump-stop-after", std::to_string(kSent)});
  ASSERT_FALSE(sim.Device().empty());
  const std::string image = dir.File("flash.bin");
  const ProgramResult ended =
      Kvmaint({"dump", "--flash", image, "--port", sim.Device(), "--timeout", "60"},
              InterruptAfter(30000));
  const std::string expected = ReadBytes(simFlash);
  EXPECT_FALSE(ended.timedOut);
  EXPECT_EQ(ended.exitCode, 130) << ended.err;
  EXPECT_NE(ended.err.find("100000 of 4194304 bytes"), std::string::npos) << ended.err;
  const std::string kept = ReadBytes(image);
  ASSERT_EQ(kept.size(), kFlashSize);
  EXPECT_TRUE(kept.compare(0, kSent, expected, 0, kSent) == 0);
  EXPECT_TRUE(kept.substr(kSent) == std::string(kFlashSize - kSent, '\xFF'));
}

TEST(DumpTest, StreamThatStopsFailsAfterTheTimeOut) {
  TempDir dir;
  Simulator sim({"--dump-hangup-after", "5000"});
  ASSERT_FALSE(sim.Device().empty());
  const std::string image = dir.File("fram.bin");
  const ProgramResult result =
      Kvmaint({"dump", "--fram", image, "--port", sim.Device(), "--timeout", "1"});
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 1) << result.err;
  EXPECT_NE(result.err.find("5000 of 8192 bytes"), std::string::npos) << result.err;
  const std::string kept = ReadBytes(image);
  ASSERT_EQ(kept.size(), 8192U);
  EXPECT_TRUE(kept.substr(5000) == std::string(8192 - 5000, '\xFF'));
}

// A memory pauses between pages: a pause shorter than the stream silence
// limit (10 s) is waited out, a longer one ends the dump with the silence said.
struct StreamPauseCase {
  const char* pause;  // kvsim's --dump-pause N:MS
  int exitCode;
  const char* said;
};

class StreamPause : public ::testing::TestWithParam<StreamPauseCase> {};

TEST_P(StreamPause, InsideAnFramDump) {
  const StreamPauseCase& c = GetParam();
  TempDir dir;
  const std::string simFram = dir.File("sim-fram.bin");
  Simulator sim({"--fram-out", simFram, "--dump-pause", c.pause});
  ASSERT_FALSE(sim.Device().empty());
  const std::string image = dir.File("fram.bin");
  const ProgramResult result = Kvmaint({"dump", "--fram", image, "--port", sim.Device()});
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
  EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
  if (c.exitCode == 0) {
    EXPECT_TRUE(ReadBytes(image) == ReadBytes(simFram));
  }
}

INSTANTIATE_TEST_SUITE_P(Pauses, StreamPause,
                         ::testing::Values(StreamPauseCase{"4096:4500", 0, ""},
                                           StreamPauseCase{"4096:9500", 0, ""},
                                           StreamPauseCase{"4096:11000", 1,
                                                           "4096 of 8192 bytes that arrived"},
                                           StreamPauseCase{"4096:11000", 1,
                                                           "the stream stopped (nothing came for 10 s)"}));

// Ctrl-C part way through a flash dump on a paced line: the program drains
// what the instrument still sends. A stream that ends within the drain's
// limit leaves the line usable; one that goes on is said, with what to do.
TEST(DumpTest, CtrlCDrainsAStreamThatEndsAndTheNextRunWorks) {
  TempDir dir;
  // 100000 bytes at 115200 baud take about 8.7 s.
  Simulator sim({"--baud", "115200", "--dump-stop-after", "100000"});
  ASSERT_FALSE(sim.Device().empty());
  const std::string image = dir.File("flash.bin");
  const ProgramResult cancelled =
      Kvmaint({"dump", "--flash", image, "--port", sim.Device()}, InterruptAfter(4000));
  EXPECT_FALSE(cancelled.timedOut);
  EXPECT_EQ(cancelled.exitCode, 130) << cancelled.err;
  EXPECT_NE(cancelled.err.find("the line fell silent after the cancel"), std::string::npos) << cancelled.err;
  EXPECT_EQ(cancelled.err.find("still sending"), std::string::npos) << cancelled.err;
  const ProgramResult next = Kvmaint({"dump", "--fram", dir.File("fram.bin"), "--port", sim.Device()});
  EXPECT_EQ(next.exitCode, 0) << next.err;
}

TEST(DumpTest, CtrlCOnAStreamThatGoesOnSaysToSwitchTheInstrumentOffAndOn) {
  TempDir dir;
  Simulator sim({"--baud", "115200"});  // the whole flash takes about 6 minutes
  ASSERT_FALSE(sim.Device().empty());
  const ProgramResult cancelled =
      Kvmaint({"dump", "--flash", dir.File("flash.bin"), "--port", sim.Device()}, InterruptAfter(4000));
  EXPECT_FALSE(cancelled.timedOut);
  EXPECT_EQ(cancelled.exitCode, 130) << cancelled.err;
  EXPECT_NE(cancelled.err.find("still sending its memory: switch the instrument off and on"),
            std::string::npos)
      << cancelled.err;
}

}  // namespace
}  // namespace kv::inproc
