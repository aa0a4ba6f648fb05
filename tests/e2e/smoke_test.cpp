// The real programs wired together: kvmaint and kvsim as processes on a
// pseudo-terminal, with real time, signals and the serial port. One get, one
// send, one station line and one dump; every other behaviour of the commands
// is tested in process (tests/kvmaint).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e_support.h"
#include "files/kvd_writer.h"

namespace kv::e2e {
namespace {

using ::testing::HasSubstr;

class SmokeTest : public SimulatorTest {
 protected:
  // A read of the simulator into `file`.
  void Get(const std::string& file) {
    const ProgramResult got = Run({"get", "--output", file});
    ASSERT_EQ(got.exitCode, 0) << got.err;
    EXPECT_EQ(got.out, file + "\n");
  }
};

TEST_F(SmokeTest, GetReadsACompleteFile) {
  const std::string file = dir.File("read.kvd");
  ASSERT_NO_FATAL_FAILURE(Get(file));
  EXPECT_FALSE(LoadRecord(file).GasName(0).empty());
}

TEST_F(SmokeTest, SendReachesTheInstrument) {
  const std::string file = dir.File("read.kvd");
  ASSERT_NO_FATAL_FAILURE(Get(file));
  clsInstrument edited = LoadRecord(file);
  ASSERT_TRUE(edited.SetXS_(0, "SMOKE TEST"));
  ASSERT_TRUE(WriteMaintenanceFile(edited, file).ok);
  const ProgramResult sent = Run({"send", file});
  ASSERT_EQ(sent.exitCode, 0) << sent.err;
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(LoadRecord(dir.File("state-out.kvd")).XS_(0), "SMOKE TEST");
}

TEST(StationSmokeTest, OneInstrumentOfALineIsWrittenAndVerified) {
  TempDir dir;
  const std::string company = dir.File("company.kvd");
  {
    Simulator plain;
    ASSERT_FALSE(plain.Device().empty());
    ASSERT_EQ(Kvmaint({"get", "--port", plain.Device(), "--output", company}).exitCode, 0);
  }
  const std::string unit = dir.File("SMOKE-1.kvd");
  std::filesystem::copy_file(company, unit);
  clsInstrument distributed = LoadRecord(company);
  ASSERT_NE(distributed.XS_(2), "NORTH GATE");
  ASSERT_TRUE(distributed.SetXS_(2, "NORTH GATE"));
  ASSERT_TRUE(WriteMaintenanceFile(distributed, company).ok);
  const std::string out = dir.File("line-out");
  std::filesystem::create_directories(out);
  Simulator sim({"--line", unit, "--line-out", out});
  ASSERT_FALSE(sim.Device().empty());
  // Not switched off: the power-off's 5 s settling is tested in process.
  const ProgramResult run = Kvmaint({"station", "--apply", company, "--count", "1", "--no-power-off",
                                     "--port", sim.Device(), "--data-dir", dir.File("data")});
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("SMOKE-1"));
  EXPECT_THAT(run.out, HasSubstr("1 instrument: 1 done, 0 failed, 0 skipped"));
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(LoadRecord(out + "/SMOKE-1.kvd").XS_(2), "NORTH GATE");
}

TEST(DumpSmokeTest, TheFramImageEqualsTheSimulatorsMemory) {
  TempDir dir;
  const std::string simFram = dir.File("sim-fram.bin");
  Simulator sim({"--fram-out", simFram});
  ASSERT_FALSE(sim.Device().empty());
  const std::string image = dir.File("fram.bin");
  const ProgramResult result = Kvmaint({"dump", "--fram", image, "--port", sim.Device()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, image + "\n");
  ASSERT_FALSE(ReadBytes(simFram).empty());
  EXPECT_TRUE(ReadBytes(image) == ReadBytes(simFram));
}

}  // namespace
}  // namespace kv::e2e
