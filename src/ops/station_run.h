#pragma once
// Station mode: one distributed file rolled out to a line of instruments
// placed on the adapter one after another. For each: wait for it to connect,
// read it and keep a dated backup, write the distributed settings in which it
// differs (never its own), read it again to verify, set its clock and switch
// it off; then wait for the next. A failing step ends that instrument's cycle
// and leaves it on; the run goes on with the next instrument once it has
// been taken away.
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "history/history_store.h"
#include "link/link.h"
#include "link/task.h"
#include "model/instrument.h"
#include "ops/history_sink.h"

namespace kv {

// How an instrument without a serial number is shown and recorded; it is
// never taken for another one.
inline constexpr const char* kNoSerial = "(no serial)";

class StationReportFile;

enum class StationPhase { Waiting, Reading, Writing, Verifying, Finishing, Done, Failed, Skipped };

// "waiting", "reading", "writing", "verifying", "finishing", "done", "failed", "skipped".
std::string_view PhaseText(StationPhase phase);

struct StationOptions {
  bool verify = true;
  bool setClock = true;
  bool powerOff = true;
  int count = 0;  // instruments to handle; 0: until stopped
};

struct StationPlan {
  std::string fileContent;   // the distributed maintenance data file, checked complete
  std::string fileName;      // as shown and recorded
  std::string backupFolder;  // the dated backups go here
  std::string user;          // recorded with each event
  StationOptions options;
};

// One instrument's cycle as it ended.
struct StationOutcome {
  std::string time;  // "yyyy-MM-dd HH:mm:ss"
  std::string serial;
  int settingsWritten = 0;
  int settingsToWrite = 0;
  std::string verification;  // "verified", "not verified", "skipped", "3 differ", "-"
  StationPhase result = StationPhase::Failed;  // Done, Failed or Skipped
  std::string failedStep;  // read, backup, layout, transmit, verify, clock, power-off
  std::string message;     // what failed and what the instrument now holds, or why skipped
  std::string backupPath;
  std::string port;  // the adapter it was on; empty on a run with one
};

class StationObserver {
 public:
  virtual ~StationObserver() = default;
  virtual void PhaseChanged(StationPhase phase, const std::string& serial) = 0;
  virtual void InstrumentFinished(const StationOutcome& outcome) = 0;
  // The same phase on one adapter of a run (`port` names it; empty on a run
  // with one); PhaseChanged unless an observer tells the adapters apart.
  virtual void PortPhaseChanged(const std::string& port, StationPhase phase, const std::string& serial) {
    (void)port;
    PhaseChanged(phase, serial);
  }
};

// The run over one or several adapters: the plan, the list of instruments
// done (an instrument moved to another adapter is not done twice), the
// outcomes and the report, shared by every adapter's cycle.
class StationRun {
 public:
  // `observer` and `recorder` may be null.
  StationRun(StationPlan plan, StationObserver* observer, history::Recorder* recorder);

  // Ends the run before the next instrument (those on the adapters finish).
  void RequestStop() { stopRequested_ = true; }
  bool StopRequested() const { return stopRequested_; }
  // The run has handled its count of instruments or was stopped.
  bool Over() const;

  const StationPlan& Plan() const { return plan_; }
  const std::vector<StationOutcome>& Outcomes() const { return outcomes_; }
  // Why the distributed file cannot be used ("" when it can).
  const std::string& FileProblem() const { return fileProblem_; }

  // ---- used by the cycles ------------------------------------------------
  const clsInstrument& Distributed() const { return distributed_; }
  bool AlreadyDone(const std::string& serial) const {
    return serial != kNoSerial && completed_.count(serial) != 0;
  }
  // Each finished instrument is appended to `report` (may be null).
  void SetReport(StationReportFile* report) { report_ = report; }
  // Why rows could not be added to the report ("" when all were).
  const std::string& ReportError() const { return reportError_; }
  void Enter(const std::string& port, StationPhase phase, const std::string& serial);
  void Finish(StationOutcome outcome);
  history::Recorder* Recorder() const { return recorder_; }
  // Notes a failure to record an operation: it never fails the instrument.
  void Recorded(const history::RecordOutcome& outcome);
  std::vector<std::string> HistoryErrors() const { return historyErrors_; }

 private:
  StationPlan plan_;
  StationObserver* observer_;
  history::Recorder* recorder_;
  clsInstrument distributed_;
  std::string fileProblem_;
  std::set<std::string> completed_;
  std::vector<StationOutcome> outcomes_;
  std::vector<std::string> historyErrors_;
  StationReportFile* report_ = nullptr;
  std::string reportError_;
  bool stopRequested_ = false;
};

// One adapter's part of a run: its port name and the history of the
// instrument on it (each adapter's operations are recorded under its own
// instrument).
class StationPort {
 public:
  StationPort(StationRun& run, std::string name);

  StationRun& Run() { return run_; }
  const std::string& Name() const { return name_; }
  ops::HistorySink& History() { return history_; }
  void Enter(StationPhase phase, const std::string& serial) { run_.Enter(name_, phase, serial); }
  void Finish(StationOutcome outcome);
  void Recorded(const history::RecordOutcome& outcome) { run_.Recorded(outcome); }

 private:
  StationRun& run_;
  std::string name_;
  ops::HistorySink history_;
};

// Runs the line on one adapter until `run` is over; true when no instrument
// failed there. The link's port must have been set up (settings, lines) by
// the caller; the run opens it and lets the link's own connect sequence
// find the first instrument. Several adapters run side by side on one
// event loop, each on its own link with its own StationPort of one run.
Transaction RunStation(uclTzif& link, StationPort& port);
// A run on a single adapter.
Transaction RunStation(uclTzif& link, StationRun& run);
// Ticks on `link` while `othersRunning` says other adapters' lines still
// run: the session of one adapter waits for the rest this way.
Transaction WaitForOtherPorts(uclTzif& link, std::function<bool()> othersRunning);

}  // namespace kv
