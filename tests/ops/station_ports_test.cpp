// One station run over four adapters at once, each with its own line of
// simulated instruments, on one loop: an instrument moved to another adapter
// after it was done is not done again, an adapter unplugged in the middle
// of a cycle fails that instrument at its step and stops nobody else, and
// the report and the history are shared.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "ops/station_files.h"
#include "sim/station_fixture.h"
#include "sim/station_ports_rig.h"
#include "support/run_checks.h"

namespace kv::sim::testing {
namespace {

using ::testing::HasSubstr;

constexpr int kBackTicks = 10;  // each instrument comes on 1 s after the power-off before
constexpr int kEnoughTicks = 3000;

// Remembers each adapter's phase as it changes.
class PortPhases final : public StationObserver {
 public:
  void PhaseChanged(StationPhase, const std::string&) override {}
  void PortPhaseChanged(const std::string& port, StationPhase phase, const std::string&) override {
    phases[port] = phase;
  }
  void InstrumentFinished(const StationOutcome& outcome) override { finished[outcome.port] += 1; }
  std::map<std::string, StationPhase> phases;
  std::map<std::string, int> finished;
};

std::vector<clsInstrument> Units(const std::vector<std::string>& serials) {
  std::vector<clsInstrument> units;
  int calibration = 10;
  for (const std::string& serial : serials) units.push_back(LineInstrument(serial, calibration += 3));
  return units;
}

TEST(StationPortsTest, FourAdaptersShareOneListOneReportAndOneHistory) {
  ManualClock clock{DateTime{2026, 3, 5, 14, 7, 9}};
  testsupport::TempFolder folder{"kv_station_ports"};
  PortPhases observer;
  RecordingRecorder recorder;
  StationPlan plan;
  plan.fileContent = MaintenanceFileText(DistributedRecord());
  plan.fileName = "company.kvd";
  plan.backupFolder = folder.File("Backup");
  plan.user = "tester";
  // 20 done, the unplugged one failed, the moved one skipped.
  plan.options.count = 22;
  StationRun run(plan, &observer, &recorder);
  StationReportFile report;
  ASSERT_TRUE(report.Claim(StationReportPath(folder.File("Backup"), clock.Now())));
  run.SetReport(&report);

  std::vector<std::unique_ptr<AdapterLine>> adapters;
  adapters.push_back(std::make_unique<AdapterLine>(clock, run, "A", Units({"A1", "A2", "A3", "A4", "A5"})));
  // A1 is taken from adapter A once done there and placed on B.
  adapters.push_back(std::make_unique<AdapterLine>(clock, run, "B", Units({"B1", "A1", "B2", "B3", "B4", "B5"})));
  adapters.push_back(std::make_unique<AdapterLine>(clock, run, "C", Units({"C1", "C2", "C3"})));
  // C3, left failed on the unplugged adapter C, and the rest of C's line go on D.
  adapters.push_back(std::make_unique<AdapterLine>(clock, run, "D",
                                                   Units({"D1", "D2", "D3", "D4", "D5", "C3", "C4", "C5"})));
  AdapterLine& c = *adapters[2];
  const auto allEnded = [&adapters] {
    for (const auto& adapter : adapters) {
      if (!adapter->result) return false;
    }
    return true;
  };
  long long nowMs = 0;
  for (auto& adapter : adapters) adapter->PaceReplies(&nowMs, 921600);
  for (auto& adapter : adapters) ASSERT_TRUE(adapter->Start(adapter->result));
  // The cable of C is pulled while its third instrument is being written.
  const auto pullC = [&] {
    if (!c.port.Unplugged() && observer.finished["C"] == 2 && observer.phases["C"] == StationPhase::Writing) {
      c.port.Unplug();
    }
  };
  RunAdapters(clock, nowMs, adapters, kBackTicks, kEnoughTicks, pullC, allEnded);
  ASSERT_TRUE(allEnded());
  EXPECT_EQ(*adapters[0]->result, true);
  EXPECT_EQ(*c.result, false) << "C's instrument failed";

  std::map<std::string, int> done;
  std::vector<const StationOutcome*> others;
  for (const StationOutcome& outcome : run.Outcomes()) {
    if (outcome.result == StationPhase::Done) {
      done[outcome.serial] += 1;
    } else {
      others.push_back(&outcome);
    }
  }
  EXPECT_EQ(done.size(), 20U);
  for (const auto& [serial, times] : done) EXPECT_EQ(times, 1) << serial;
  ASSERT_EQ(others.size(), 2U);
  const auto failed = std::find_if(others.begin(), others.end(),
                                   [](const StationOutcome* o) { return o->result == StationPhase::Failed; });
  ASSERT_NE(failed, others.end());
  EXPECT_EQ((*failed)->serial, "C3");
  EXPECT_EQ((*failed)->port, "C");
  EXPECT_EQ((*failed)->failedStep, "transmit");
  const auto skipped = std::find_if(others.begin(), others.end(),
                                    [](const StationOutcome* o) { return o->result == StationPhase::Skipped; });
  ASSERT_NE(skipped, others.end());
  EXPECT_EQ((*skipped)->serial, "A1");
  EXPECT_EQ((*skipped)->port, "B");

  // One report: its header and a row for each of the 22.
  const std::vector<std::string> rows = testsupport::Lines(testsupport::ReadBytes(report.Path()));
  ASSERT_EQ(rows.size(), 23U);
  int doneRows = 0;
  for (const std::string& row : rows) doneRows += row.find(",done,") != std::string::npos;
  EXPECT_EQ(doneRows, 20);
  EXPECT_THAT(testsupport::ReadBytes(report.Path()), HasSubstr(",C3,"));

  // Each instrument's write is recorded once, under its own serial number,
  // though four were on at the same time.
  std::map<std::string, int> transmitted;
  for (const history::Event& event : recorder.events) {
    if (event.operation == history::kOpTransmit && event.result == "ok") transmitted[event.serial] += 1;
  }
  EXPECT_EQ(transmitted.size(), 20U);
  EXPECT_EQ(transmitted.count("C3"), 1U) << "C3 done on D";
  for (const auto& [serial, times] : transmitted) EXPECT_EQ(times, 1) << serial;
}

}  // namespace
}  // namespace kv::sim::testing
