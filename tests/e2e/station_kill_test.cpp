// kvmaint station as a real process killed with SIGKILL in the middle of a
// line: the report keeps every instrument finished before the kill, and a
// run started beside it in the same second claims a report of its own.
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

TEST(StationKillTest, AKilledRunKeepsItsFinishedRowsAndARunBesideItHasItsOwnReport) {
  TempDir dir;
  const std::string company = dir.File("company.kvd");
  {
    Simulator plain;
    ASSERT_FALSE(plain.Device().empty());
    ASSERT_EQ(Kvmaint({"get", "--port", plain.Device(), "--output", company}).exitCode, 0);
  }
  std::vector<std::string> units;
  for (const char* serial : {"KILL-1", "KILL-2", "KILL-3", "KILL-4"}) {
    units.push_back(dir.File(std::string(serial) + ".kvd"));
    std::filesystem::copy_file(company, units.back());
  }
  clsInstrument distributed = LoadRecord(company);
  ASSERT_TRUE(distributed.SetXS_(2, "NORTH GATE"));
  ASSERT_TRUE(WriteMaintenanceFile(distributed, company).ok);
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

}  // namespace
}  // namespace kv::e2e
