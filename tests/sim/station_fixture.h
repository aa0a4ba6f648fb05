#pragma once
// A line of simulated instruments on the link, on the virtual clock: each
// instrument switched off is replaced by the next one a few ticks later, as
// an operator would place them on the adapter.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/clock.h"
#include "history/history_store.h"
#include "link/link.h"
#include "files/kvd_writer.h"
#include "ops/station_files.h"
#include "ops/station_run.h"
#include "sim/sim_default_state.h"
#include "sim/sim_instrument.h"
#include "sim/sim_line.h"
#include "sim/sim_transport.h"
#include "support/temp_folder.h"

namespace kv::sim::testing {

// An instrument of the line: the demo instrument with its own serial and
// its own calibration values.
inline clsInstrument LineInstrument(const std::string& serial, int calibration) {
  clsInstrument record = MakeDemoInstrument();
  record.SetSerialNo(serial);
  record.SetDummySerial("M-" + serial);
  for (int i = 0; i < 4; ++i) [[maybe_unused]] const bool set = record.SetSI_(i, calibration + i);
  [[maybe_unused]] bool set = record.SetHH_(1, calibration + 7);
  set = record.SetHE_(0, calibration + 3);
  record.ClearChangeFlags();
  return record;
}

// The company configuration: another display contrast, another warning
// level on CO, another station name, and a serial number and calibration of
// the unit the file was made from, which must never reach another unit.
inline clsInstrument DistributedRecord() {
  clsInstrument record = LineInstrument("SOURCE-UNIT", 90);
  record.SetLcdContrast(record.LcdContrast() == 12 ? 11 : 12);
  [[maybe_unused]] bool set = record.SetWarning(3, record.Warning(3) + 5);
  set = record.SetXS_(2, "NORTH GATE");
  return record;
}

inline SimDeviceOptions Refusing(std::string serial, std::string code) {
  SimDeviceOptions options;
  options.refuseWriteSerial = std::move(serial);
  options.refuseWriteCode = std::move(code);
  return options;
}

inline SimDeviceOptions StoringWrongly(std::string code) {
  SimDeviceOptions options;
  options.storeWrongCode = std::move(code);
  return options;
}

// One fault of `kind` on the `reply`th reply.
inline FaultPlan OneFault(FaultKind kind, long reply) {
  FaultPlan faults;
  faults.Add({kind, reply});
  return faults;
}

// A run of `count` instruments with every step.
inline StationOptions Instruments(int count) {
  StationOptions options;
  options.count = count;
  return options;
}

class RecordingObserver final : public StationObserver {
 public:
  // `elapsedMs`: the virtual time, read when a read starts (may be null).
  explicit RecordingObserver(const long long* elapsedMs = nullptr) : elapsedMs_(elapsedMs) {}
  void PhaseChanged(StationPhase phase, const std::string& serial) override {
    phases.push_back(phase);
    if (phase == StationPhase::Reading && serial.empty() && elapsedMs_ != nullptr) {
      readsStartedMs.push_back(*elapsedMs_);
    }
  }
  void InstrumentFinished(const StationOutcome& outcome) override { outcomes.push_back(outcome); }
  std::vector<StationPhase> phases;
  std::vector<StationOutcome> outcomes;
  std::vector<long long> readsStartedMs;

 private:
  const long long* elapsedMs_;
};

class RecordingRecorder final : public history::Recorder {
 public:
  history::RecordOutcome Record(const history::Event& event) override {
    events.push_back(event);
    return {true, static_cast<std::int64_t>(events.size()), ""};
  }
  std::vector<history::Event> events;
};

class StationLineTest : public ::testing::Test {
 protected:
  // Ticks an instrument stays off before the next one is placed.
  static constexpr int kChangeOverTicks = 20;

  explicit StationLineTest(SimDeviceOptions options = {}, FaultPlan faults = {})
      : deviceOptions_(std::move(options)), faults_(std::move(faults)) {}

  // Starts the line with `instruments` (the first on the adapter).
  void StartLine(std::vector<clsInstrument> instruments, StationOptions options,
                 std::string fileContent = MaintenanceFileText(DistributedRecord())) {
    clsInstrument first = instruments.front();
    instrument_.emplace(clock, std::move(first), deviceOptions_, faults_);
    instrument_->SetSwitchesOff(switchesOff);
    line_.emplace(std::move(instruments));
    port_.emplace(*instrument_);
    link_.emplace(*port_, clock);
    port_->Attach(&*link_);
    link_->SetRetry(3);
    link_->SetTimeout(3);
    StationPlan plan;
    plan.fileContent = std::move(fileContent);
    plan.fileName = "company.kvd";
    plan.backupFolder = folder.File("Backup");
    plan.user = "tester";
    plan.options = options;
    run_.emplace(std::move(plan), &observer, &recorder);
    ASSERT_TRUE(link_->Start(RunStation(*link_, *run_), [this](bool ok) { result = ok; }));
  }

  // Ticks until the run ends or `maxTicks` pass, placing the next
  // instrument of the line after each power-off.
  void RunFor(int maxTicks) {
    for (int i = 0; i < maxTicks && !result; ++i) {
      clock.AdvanceMilliseconds(100);
      elapsedMs += 100;
      port_->Pump();
      link_->Tick();
      offTicks_ = instrument_->PoweredOff() ? offTicks_ + 1 : 0;
      if (offTicks_ == kChangeOverTicks) PlaceNext();
    }
  }
  // Ticks until `done` holds or `maxTicks` pass.
  template <typename Done>
  void RunUntil(Done done, int maxTicks) {
    for (int i = 0; i < maxTicks && !result && !done(); ++i) RunFor(1);
  }
  // The next instrument of the line on the adapter now, whether or not the
  // one before went off.
  void PlaceNext() {
    // Counted afresh: the next may be done and off again within one tick.
    offTicks_ = 0;
    if (line_->Advance(*instrument_)) placedAtMs.push_back(elapsedMs);
  }

  std::vector<clsInstrument> FinalStates() const { return line_->FinalStates(*instrument_); }
  SimInstrument& Instrument() { return *instrument_; }
  uclTzif& Link() { return *link_; }
  StationRun& Run() { return *run_; }

  ManualClock clock{DateTime{2026, 3, 5, 14, 7, 9}};
  // The instruments go off when told to; false: they take the command and stay on.
  bool switchesOff = true;
  long long elapsedMs = 0;  // virtual time since the start
  std::vector<long long> placedAtMs;  // when each instrument after the first came on
  testsupport::TempFolder folder{"kv_station"};
  RecordingObserver observer{&elapsedMs};
  RecordingRecorder recorder;
  std::optional<bool> result;

 private:
  SimDeviceOptions deviceOptions_;
  FaultPlan faults_;
  int offTicks_ = 0;
  std::optional<SimInstrument> instrument_;
  std::optional<SimLine> line_;
  std::optional<SimTransport> port_;
  std::optional<StationRun> run_;
  std::optional<uclTzif> link_;  // last: destroyed first, with the run's frame
};

}  // namespace kv::sim::testing
