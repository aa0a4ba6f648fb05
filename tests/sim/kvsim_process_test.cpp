// The kvsim program itself: prints its device path, serves the port across
// the program's close and reopen, and writes its settings when terminated.
#include <csignal>
#include <filesystem>
#include <vector>

#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "pty_fixture.h"
#include "sim/sim_default_state.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace kv::sim::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// KV_BINARY_DIR is the build tree, compiled in by the build.
std::string SimulatorPath() { return (fs::path(KV_BINARY_DIR) / "kvsim").string(); }

std::string Framed(std::string_view text) { return BuildCommandLine(text, kEOT, "00"); }

// One kvsim process with its stdout on a pipe.
class SimulatorProcess {
 public:
  explicit SimulatorProcess(const std::vector<std::string>& args) : child_(WithProgram(args)) {}

  // The first line the simulator prints: its device path.
  std::string FirstLine() { return child_.ReadLine(5s).value_or(std::string()); }
  // Sends the signal and returns the exit status (-1 when it did not exit normally).
  int Stop(int signal) {
    child_.Signal(signal);
    return child_.Finish().exitCode;
  }
  bool Started() const { return child_.Started(); }
  // Sends the signal and returns what the simulator said on its way out.
  testsupport::ProgramResult StopAndCollect(int signal) {
    child_.Signal(signal);
    return child_.Finish();
  }

 private:
  static std::vector<std::string> WithProgram(const std::vector<std::string>& args) {
    std::vector<std::string> all{SimulatorPath()};
    all.insert(all.end(), args.begin(), args.end());
    return all;
  }
  testsupport::ChildProcess child_;
};

class KvsimProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(SimulatorPath())) GTEST_SKIP() << "kvsim is not built at " << SimulatorPath();
    ASSERT_TRUE(dir.Ok());
  }
  testsupport::TempFolder dir;
};

TEST_F(KvsimProcessTest, ServesUntilTerminatedAndWritesItsSettings) {
  const std::string link = dir.File("korvin"), out = dir.File("out.kvd");
  SimulatorProcess sim({"--link", link, "--state-out", out});
  ASSERT_TRUE(sim.Started());
  const std::string device = sim.FirstLine();
  ASSERT_EQ(device.rfind("/dev/", 0), 0U) << device;
  EXPECT_EQ(fs::read_symlink(link).string(), device);

  int fd = OpenPort(link);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(AskPort(fd, "AP,W,2,"), Framed("AP,W,2,"));
  ::close(fd);  // the program closes the port: no reason to stop
  fd = OpenPort(device);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(AskPort(fd, "AP,R,"), Framed("AP,R,2,"));
  ::close(fd);

  EXPECT_EQ(sim.Stop(SIGTERM), 0);
  clsInstrument saved;
  ASSERT_TRUE(ReadMaintenanceFile(saved, out).complete);
  EXPECT_EQ(saved.AlarmMode(), 2);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "the link is removed on exit";
}

TEST_F(KvsimProcessTest, StartsFromAMaintenanceFile) {
  clsInstrument prepared = MakeDemoInstrument();
  ASSERT_TRUE(prepared.SetGasName(4, "NH3"));
  ASSERT_TRUE(WriteMaintenanceFile(prepared, dir.File("in.kvd")).ok);
  SimulatorProcess sim({"--state", dir.File("in.kvd")});
  const std::string device = sim.FirstLine();
  ASSERT_FALSE(device.empty());
  const int fd = OpenPort(device);
  ASSERT_GE(fd, 0);
  EXPECT_NE(AskPort(fd, "GN,R,").find(",NH3,"), std::string::npos);
  ::close(fd);
  EXPECT_EQ(sim.Stop(SIGINT), 0);
}

TEST_F(KvsimProcessTest, TheSummaryCountsTheLineTimeOfEveryRequestAndReply) {
  SimulatorProcess sim({"--baud", "1000", "--summary"});
  const std::string device = sim.FirstLine();
  ASSERT_FALSE(device.empty());
  const int fd = OpenPort(device);
  ASSERT_GE(fd, 0);
  const std::string reply = AskPort(fd, "AP,R,");
  ASSERT_EQ(reply, Framed("AP,R,1,"));
  ::close(fd);
  const testsupport::ProgramResult ended = sim.StopAndCollect(SIGTERM);
  EXPECT_EQ(ended.exitCode, 0);
  // Ten bits a byte at 1000 baud: a hundredth of a second each.
  const double expected = static_cast<double>(Framed("AP,R,").size() + reply.size()) / 100.0;
  const std::size_t said = ended.err.find(" s on the line");
  ASSERT_NE(said, std::string::npos) << ended.err;
  const std::size_t number = ended.err.rfind(' ', said - 1) + 1;
  EXPECT_NEAR(std::stod(ended.err.substr(number, said - number)), expected, 1e-6) << ended.err;
  EXPECT_NE(ended.err.find("stopped after 1 replies"), std::string::npos) << ended.err;
}

TEST_F(KvsimProcessTest, BadCommandLineIsRefused) {
  SimulatorProcess sim({"--drop", "zero"});
  ASSERT_TRUE(sim.Started());
  EXPECT_EQ(sim.FirstLine(), "");
  EXPECT_EQ(sim.Stop(0), 2);
}

}  // namespace
}  // namespace kv::sim::testing
