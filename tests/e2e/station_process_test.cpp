// kvmaint station as a real process: killed with SIGKILL in the middle of a
// line, its report keeps every instrument finished before the kill, and a
// run started beside it in the same second claims a report of its own; on
// two adapters at once, one event loop serves both lines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <set>

#include "e2e_support.h"
#include "files/kvd_writer.h"

namespace kv::e2e {
namespace {

using ::testing::HasSubstr;

std::vector<std::string> ReportsIn(const std::string& folder) {
  std::vector<std::string> reports;
  if (!std::filesystem::exists(folder)) return reports;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("station-") && name.ends_with(".csv")) reports.push_back(entry.path().string());
  }
  return reports;
}

// The rows of a report naming `serial` as done.
int DoneRows(const std::string& report, const std::string& serial) {
  int rows = 0;
  for (const std::string& line : Lines(ReadBytes(report))) {
    if (line.find("," + serial + ",") != std::string::npos && line.find(",done,") != std::string::npos) ++rows;
  }
  return rows;
}

// The company file read from a fresh simulator with one station name
// changed, and a unit file for each of `serials`.
struct LineFiles {
  std::string company;
  std::vector<std::string> units;
};

LineFiles MakeLineFiles(TempDir& dir, const std::vector<std::string>& serials) {
  LineFiles files;
  files.company = dir.File("company.kvd");
  {
    Simulator plain;
    EXPECT_FALSE(plain.Device().empty());
    EXPECT_EQ(Kvmaint({"get", "--port", plain.Device(), "--output", files.company}).exitCode, 0);
  }
  for (const std::string& serial : serials) {
    files.units.push_back(dir.File(serial + ".kvd"));
    std::filesystem::copy_file(files.company, files.units.back());
  }
  clsInstrument distributed = LoadRecord(files.company);
  EXPECT_TRUE(distributed.SetXS_(2, "NORTH GATE"));
  EXPECT_TRUE(WriteMaintenanceFile(distributed, files.company).ok);
  return files;
}

TEST(StationProcessTest, AKilledRunKeepsItsFinishedRowsAndARunBesideItHasItsOwnReport) {
  TempDir dir;
  const LineFiles files = MakeLineFiles(dir, {"KILL-1", "KILL-2", "KILL-3", "KILL-4"});
  const std::string& company = files.company;
  const std::vector<std::string>& units = files.units;
  Simulator killedLine({"--line", units[0], units[1], units[2], "--power-on-after", "1"});
  Simulator besideLine({"--line", units[3]});
  ASSERT_FALSE(killedLine.Device().empty());
  ASSERT_FALSE(besideLine.Device().empty());
  const std::string data = dir.File("data");
  const auto station = [&](const std::string& device, std::vector<std::string> more) {
    std::vector<std::string> argv{KV_KVMAINT_PATH, "station", "--apply", company, "--port", device,
                                  "--data-dir", data};
    argv.insert(argv.end(), more.begin(), more.end());
    return argv;
  };
  ChildProcess killed(station(killedLine.Device(), {}));
  const ProgramResult beside = RunProgram(station(besideLine.Device(), {"--count", "1", "--no-power-off"}));
  ASSERT_EQ(beside.exitCode, 0) << beside.out << beside.err;

  std::set<std::string> done;
  while (done.size() < 2) {
    const std::optional<std::string> line = killed.ReadLine(30s);
    ASSERT_TRUE(line) << "the killed run stopped printing before two instruments were done";
    for (const char* serial : {"KILL-1", "KILL-2"}) {
      if (line->find(serial) != std::string::npos && line->find("done") != std::string::npos) done.insert(serial);
    }
  }
  killed.Signal(SIGKILL);
  killed.Finish(10s);

  const std::vector<std::string> reports = ReportsIn(data + "/Backup");
  ASSERT_EQ(reports.size(), 2U) << "each run claims its own report";
  const std::string besideReport = beside.out.substr(beside.out.find("report: ") + 8);
  for (const std::string& report : reports) {
    if (besideReport.starts_with(report)) {
      EXPECT_EQ(DoneRows(report, "KILL-4"), 1);
      EXPECT_EQ(DoneRows(report, "KILL-1"), 0);
    } else {
      EXPECT_EQ(DoneRows(report, "KILL-1"), 1) << ReadBytes(report);
      EXPECT_EQ(DoneRows(report, "KILL-2"), 1) << ReadBytes(report);
      EXPECT_EQ(DoneRows(report, "KILL-4"), 0);
    }
  }
  // Every backup the killed run claimed is whole, under its instrument's name.
  int backups = 0;
  for (const auto& entry : std::filesystem::directory_iterator(data + "/Backup")) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".kvd")) {
      ++backups;
      EXPECT_FALSE(LoadRecord(entry.path().string()).GasName(0).empty()) << name;
    }
  }
  EXPECT_GE(backups, 3) << "KILL-1, KILL-2 and KILL-4 were backed up";
}

TEST(StationProcessTest, TwoAdaptersAreServedAtOnceAndShareOneReport) {
  TempDir dir;
  const LineFiles files = MakeLineFiles(dir, {"TWO-A1", "TWO-A2", "TWO-B1", "TWO-B2"});
  // TWO-A1 is placed on the second adapter too, once done on the first.
  Simulator first({"--line", files.units[0], files.units[1], "--power-on-after", "1"});
  Simulator second({"--line", files.units[2], files.units[0], files.units[3], "--power-on-after", "1"});
  ASSERT_FALSE(first.Device().empty());
  ASSERT_FALSE(second.Device().empty());
  const std::string data = dir.File("data");
  const ProgramResult run = Kvmaint({"station", "--apply", files.company, "--count", "5", "--port", first.Device(),
                                     "--port", second.Device(), "--data-dir", data});
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("5 instruments: 4 done, 0 failed, 1 skipped"));
  const std::vector<std::string> reports = ReportsIn(data + "/Backup");
  ASSERT_EQ(reports.size(), 1U);
  for (const char* serial : {"TWO-A1", "TWO-A2", "TWO-B1", "TWO-B2"}) {
    EXPECT_EQ(DoneRows(reports[0], serial), 1) << serial;
  }
  int skippedOnSecond = 0;
  for (const std::string& row : Lines(ReadBytes(reports[0]))) {
    if (row.find(",TWO-A1,") != std::string::npos && row.find(",skipped,") != std::string::npos) {
      skippedOnSecond += row.ends_with("," + second.Device()) || row.ends_with("," + second.Device() + "\r");
    }
  }
  EXPECT_EQ(skippedOnSecond, 1) << ReadBytes(reports[0]);
}

}  // namespace
}  // namespace kv::e2e
