// kvmaint station against a line of simulated instruments: each gets the
// distributed file but keeps its own identity and calibration, a refused
// write stops one instrument's cycle, and a file for other sensors is
// refused before anything is written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "kvmaint/harness/inprocess_support.h"
#include "files/kvd_writer.h"
#include "link/pending_changes.h"
#include "ops/station_settings.h"
#include "model/instrument_settings.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;

// The settings of `final` that are neither the distributed value (shared
// settings) nor the unit's own (per-instrument settings), "Name(index)".
std::vector<std::string> WrongSettings(const clsInstrument& final, const clsInstrument& distributed,
                                       const clsInstrument& own) {
  std::vector<std::string> wrong;
  for (const SettingInfo& setting : AllSettings()) {
    if (setting.changed == nullptr) continue;
    const clsInstrument& expected = IsPerInstrument(setting.name) ? own : distributed;
    for (int i = 0; i < setting.count; ++i) {
      if (!SameValue(setting.get(final, i), setting.get(expected, i))) {
        wrong.push_back(std::string(setting.name) + "(" + std::to_string(i) + ")");
      }
    }
  }
  return wrong;
}

class StationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    Simulator plain;
    ASSERT_FALSE(plain.Device().empty());
    const ProgramResult read = Kvmaint({"get", "--port", plain.Device(), "--output", dir.File("base.kvd")});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    base = LoadRecord(dir.File("base.kvd"));
  }

  // A unit of the line: its own serial numbers and calibration values.
  std::string WriteUnit(const std::string& serial, int calibration) {
    clsInstrument unit = base;
    unit.SetSerialNo(serial);
    unit.SetDummySerial("M-" + serial);
    for (int i = 0; i < 4; ++i) [[maybe_unused]] const bool set = unit.SetSI_(i, calibration + i);
    [[maybe_unused]] const bool set = unit.SetHH_(1, calibration + 7);
    const std::string path = dir.File(serial + ".kvd");
    EXPECT_TRUE(WriteMaintenanceFile(unit, path).ok);
    units.push_back(LoadRecord(path));
    return path;
  }

  // The company file, made from another unit.
  std::string WriteDistributed(bool otherLayout) {
    clsInstrument file = base;
    file.SetSerialNo("SOURCE-UNIT");
    [[maybe_unused]] bool set = file.SetSI_(0, 200);
    file.SetLcdContrast(base.LcdContrast() == 12 ? 11 : 12);
    set = file.SetWarning(3, base.Warning(3) + 5);
    set = file.SetXS_(2, "NORTH GATE");
    if (otherLayout) set = file.SetGasType(5, base.GasType(5) == 16 ? 4 : 16);
    const std::string path = dir.File(otherLayout ? "other-layout.kvd" : "company.kvd");
    EXPECT_TRUE(WriteMaintenanceFile(file, path).ok);
    return path;
  }

  TempDir dir;
  clsInstrument base;
  std::vector<clsInstrument> units;
};

TEST_F(StationTest, ALineOfThreeWithOneRefusedWrite) {
  const std::string company = WriteDistributed(false);
  const std::vector<std::string> serials = {"E2E-001", "E2E-002", "E2E-003"};
  std::vector<std::string> simArgs = {"--line"};
  for (std::size_t i = 0; i < serials.size(); ++i) simArgs.push_back(WriteUnit(serials[i], 10 * (int(i) + 1)));
  const std::string out = dir.File("line-out");
  std::filesystem::create_directories(out);
  simArgs.insert(simArgs.end(), {"--line-out", out, "--power-on-after", "1", "--refuse-write", "E2E-003:A1"});
  Simulator sim(simArgs);
  ASSERT_FALSE(sim.Device().empty());

  const std::string report = dir.File("report.csv");
  const ProgramResult run = Kvmaint({"station", "--apply", company, "--count", "3", "--report", report,
                                         "--port", sim.Device(), "--data-dir", dir.File("data")});
  ASSERT_FALSE(run.timedOut) << run.out << run.err;
  EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("Serial number (SerialNo)")) << "the per-instrument table comes first";
  const std::vector<std::string> lines = Lines(run.out);
  std::vector<std::string> instrumentLines;
  for (const std::string& line : lines) {
    if (line.find("  E2E-00") != std::string::npos) instrumentLines.push_back(line);
  }
  ASSERT_EQ(instrumentLines.size(), 3U) << run.out;
  EXPECT_THAT(instrumentLines[0], HasSubstr("E2E-001  written 3/3  verified  done"));
  EXPECT_THAT(instrumentLines[1], HasSubstr("E2E-002  written 3/3  verified  done"));
  EXPECT_THAT(instrumentLines[2], HasSubstr("E2E-003"));
  EXPECT_THAT(instrumentLines[2], HasSubstr("failed at transmit: transmit failed at CH4 warning level and 6 more (A1,W)"));
  EXPECT_THAT(lines.back(), HasSubstr("report: " + report));
  EXPECT_THAT(run.out, HasSubstr("3 instruments: 2 done, 1 failed, 0 skipped"));
  EXPECT_EQ(Lines(ReadBytes(report)).size(), 4U) << "a header and three rows:\n" << ReadBytes(report);
  int backups = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.File("data") + "/Backup")) {
    backups += entry.path().extension() == ".kvd" ? 1 : 0;
  }
  EXPECT_EQ(backups, 3) << "each instrument read into a backup of its own";

  // The history knows all three, the failed one with its failed transmit.
  const ProgramResult listed = Kvmaint({"history", "--data-dir", dir.File("data"), "--json"});
  const std::optional<Json> instruments = ParseJson(listed.out);
  ASSERT_TRUE(instruments.has_value()) << listed.out << listed.err;
  std::vector<std::string> known;
  for (const Json& instrument : instruments->items) known.push_back(instrument["serial"].text);
  EXPECT_THAT(known, ::testing::UnorderedElementsAreArray(serials));
  const ProgramResult events =
      Kvmaint({"history", "--data-dir", dir.File("data"), "--serial", "E2E-003", "--json"});
  EXPECT_THAT(events.out, HasSubstr("\"operation\": \"transmit\""));
  EXPECT_THAT(events.out, HasSubstr("failed"));

  ASSERT_EQ(sim.Stop(), 0);
  const clsInstrument distributed = LoadRecord(company);
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(serials[i]);
    const clsInstrument final = LoadRecord(out + "/" + serials[i] + ".kvd");
    EXPECT_EQ(WrongSettings(final, distributed, units[i]), std::vector<std::string>{});
  }
  const clsInstrument failed = LoadRecord(out + "/E2E-003.kvd");
  EXPECT_EQ(failed.SerialNo(), units[2].SerialNo());
  EXPECT_NE(failed.Warning(3), distributed.Warning(3)) << "the refused write did not land";
  EXPECT_EQ(failed.SI_(0), units[2].SI_(0));
}

TEST_F(StationTest, AFileForOtherSensorsIsRefusedBeforeAnyWrite) {
  const std::string file = WriteDistributed(true);
  const std::string unit = WriteUnit("E2E-101", 10);
  const std::string trace = dir.File("trace.txt");
  Simulator sim({"--line", unit, "--trace", trace});
  ASSERT_FALSE(sim.Device().empty());
  const ProgramResult run = Kvmaint({"station", "--apply", file, "--count", "1", "--port", sim.Device(),
                                         "--data-dir", dir.File("data")});
  EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("E2E-101"));
  EXPECT_THAT(run.out, HasSubstr("failed at layout: channel layout differs: channel 6"));
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(WrittenCodes(ReadBytes(trace)), std::set<std::string>{});
  EXPECT_THAT(ReadBytes(trace), HasSubstr("> VP,R,")) << "the instrument was read";
}

// The line has ended (its only instrument done and off): Ctrl-C while the
// run waits for the next one ends it cleanly, with the summary and report.
TEST_F(StationTest, CtrlCBetweenInstrumentsEndsTheRunWithItsReport) {
  const std::string company = WriteDistributed(false);
  Simulator sim({"--line", WriteUnit("E2E-201", 10)});
  ASSERT_FALSE(sim.Device().empty());
  const std::string data = dir.File("data");
  // Ten minutes in, the instrument is done and switched off; the run waits for the next.
  const ProgramResult ended =
      Kvmaint({"station", "--apply", company, "--port", sim.Device(), "--data-dir", data},
              InterruptAfter(600000));
  EXPECT_FALSE(ended.timedOut);
  std::string line;
  for (const std::string& each : Lines(ended.out)) {
    if (each.find("E2E-201") != std::string::npos) line = each;
  }
  EXPECT_THAT(line, HasSubstr("done")) << ended.out;
  EXPECT_EQ(ended.exitCode, 0) << ended.out << ended.err;
  EXPECT_THAT(ended.out, HasSubstr("1 instrument: 1 done, 0 failed, 0 skipped"));
  std::vector<std::string> reports;
  for (const auto& entry : std::filesystem::directory_iterator(data + "/Backup")) {
    if (entry.path().extension() == ".csv") reports.push_back(entry.path().string());
  }
  ASSERT_EQ(reports.size(), 1U) << "the report lies beside the backups";
  EXPECT_EQ(Lines(ReadBytes(reports[0])).size(), 2U);
}

}  // namespace
}  // namespace kv::inproc
