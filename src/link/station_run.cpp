#include "link/station_run.h"

#include <cstdio>
#include <utility>

#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "history/history_event.h"
#include "link/command_subjects.h"
#include "link/station_files.h"
#include "link/station_settings.h"
#include "link/transactions.h"
#include "model/instrument_settings.h"
#include "protocol/field_parse.h"
#include "protocol/frame_view.h"

namespace kv {
namespace {

// A port left idle without an instrument is opened again after this long.
constexpr int kReconnectTicks = uclTzif::kTicksPerSecond;
// A failed instrument is asked this often whether it is still on the adapter.
constexpr int kPresencePollTicks = uclTzif::kTicksPerSecond;
constexpr const char* kModel = "KORVIN";

// The last command sent, in words: where a step stopped ("User 7 (XZ,W,07)").
std::string LastCommand(const uclTzif& link, const clsInstrument& record) {
  const FrameView line(link.LastLineSent());
  return DescribeCommand(line.Text(), record);
}

std::string Plural(int n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// What an instrument holds after `written` of `toWrite` distributed changes.
std::string Holds(int written, int toWrite) {
  if (written == 0) return "instrument holds its own settings";
  return "instrument holds its own settings plus " + std::to_string(written) + " of " +
         std::to_string(toWrite) + " changes";
}

void Fail(StationOutcome& outcome, std::string step, std::string message) {
  outcome.result = StationPhase::Failed;
  outcome.failedStep = std::move(step);
  outcome.message = std::move(message);
}

// Ticks until the link's connect sequence has found an instrument. A
// sequence that gave up is started again while the run lasts.
Task<bool> WaitForInstrument(uclTzif& link, StationRun& run) {
  run.Enter(StationPhase::Waiting, "");
  int idleTicks = kReconnectTicks;
  while (link.State() != LinkState::Connected) {
    if (run.StopRequested()) co_return false;
    if (link.State() == LinkState::Offline) {
      ++idleTicks;
      int restartAfter = kReconnectTicks;
      if (link.PortOpen()) {
        // With modem lines the link starts by itself once they come up, and
        // waits its settling time after they did.
        const std::optional<ModemLines> lines = link.Port().ReadModemLines();
        if (lines) restartAfter = lines->AnyUp() ? uclTzif::kConnectDelayTicks + kReconnectTicks : -1;
      }
      if (restartAfter >= 0 && idleTicks >= restartAfter) {
        idleTicks = 0;
        [[maybe_unused]] const OpenResult opened = link.SetPortOpen(true);
      }
    } else {
      idleTicks = 0;
    }
    co_await link.WaitTicks(1);
  }
  // A stop asked for while the instrument came on: it is not started.
  const bool go = !run.StopRequested();
  co_return go;
}

// Waits until the instrument left on the adapter no longer answers (taken
// away), then lets the link look for the next one.
Task<bool> WaitUntilTakenAway(uclTzif& link, StationRun& run) {
  ReplySink sink;
  while (!run.StopRequested()) {
    co_await link.WaitTicks(kPresencePollTicks);
    const LinkStatus asked =
        co_await link.SendAndWait(sink, uclTzif::kProbeCommand, LinkStatus::ReadWaiting);
    if (asked != LinkStatus::Complete) {
      link.Reset();
      co_return true;
    }
  }
  co_return false;
}

// Writes the distributed settings in which `held` differs and verifies them.
// Fills the outcome's counts and verification; false after a failure.
Task<bool> WriteAndVerify(uclTzif& link, StationRun& run, const clsInstrument& held,
                          StationOutcome& outcome) {
  RollOut plan = PlanRollOut(run.Plan().fileContent, held);
  const clsInstrument wanted = plan.wanted;
  outcome.settingsToWrite = static_cast<int>(plan.differences.size());
  run.Enter(StationPhase::Writing, outcome.serial);
  std::string refusedAt;
  const SentWriteObserver onLine = [&refusedAt](const SentWriteLine& line) {
    if (!line.acknowledged) refusedAt = line.commandText;
  };
  bool written = true;
  if (outcome.settingsToWrite > 0) {
    written = co_await UploadChanges(link, plan.wanted, false, onLine);
    outcome.settingsWritten = WrittenDifferences(plan.differences, plan.wanted);
  }
  const DateTime writtenAt = link.GetClock().Now();
  if (!written) {
    const std::string at =
        refusedAt.empty() ? LastCommand(link, wanted) : DescribeCommand(refusedAt, wanted);
    Fail(outcome, "transmit",
         "transmit failed at " + at + ": " + Holds(outcome.settingsWritten, outcome.settingsToWrite));
    run.Record(outcome.serial, history::kOpTransmit, "failed at " + at,
               Plural(outcome.settingsWritten, "setting") + " of " +
                   std::to_string(outcome.settingsToWrite) + " written",
               run.Plan().fileName, MaintenanceFileText(wanted), writtenAt);
    co_return false;
  }
  const std::string holdsAll = Holds(outcome.settingsWritten, outcome.settingsToWrite);
  outcome.verification = "not verified";
  if (run.Plan().options.verify) {
    run.Enter(StationPhase::Verifying, outcome.serial);
    clsInstrument readBack;
    const bool read = co_await ReadInstrument(link, readBack);
    if (!read) {
      outcome.verification = "unreadable";
      Fail(outcome, "verify", "verify failed at " + LastCommand(link, wanted) + ": " + holdsAll + ", not verified");
    } else {
      const std::vector<std::string> differing = UnverifiedSettings(wanted, readBack);
      if (differing.empty()) {
        outcome.verification = "verified";
      } else {
        outcome.verification = std::to_string(differing.size()) + " differ";
        std::string names;
        for (std::size_t i = 0; i < differing.size() && i < 3; ++i) names += (i ? ", " : "") + differing[i];
        if (differing.size() > 3) names += ", ...";
        Fail(outcome, "verify", "verify failed: " + Plural(static_cast<int>(differing.size()), "setting") +
                                    " not as sent (" + names + "): " + holdsAll);
      }
    }
  }
  run.Record(outcome.serial, history::kOpTransmit, outcome.failedStep.empty() ? "ok" : outcome.message,
             Plural(outcome.settingsWritten, "setting") + " written; " + outcome.verification,
             run.Plan().fileName, MaintenanceFileText(wanted), writtenAt);
  co_return outcome.failedStep.empty();
}

// Sets the clock and switches off; false after a failure.
Task<bool> ClockAndSwitchOff(uclTzif& link, StationRun& run, StationOutcome& outcome) {
  run.Enter(StationPhase::Finishing, outcome.serial);
  const std::string holds = "instrument holds the distributed settings";
  if (run.Plan().options.setClock) {
    const DateTime now = link.GetClock().Now();
    const bool clockSet = co_await SetDateTime(link, now);
    run.Record(outcome.serial, history::kOpSetClock, clockSet ? "ok" : "failed", "", "", "", now);
    if (!clockSet) {
      Fail(outcome, "clock", "clock failed: " + holds + ", its clock not set");
      co_return false;
    }
  }
  if (run.Plan().options.powerOff) {
    bool acknowledged = false;
    const bool ended = co_await SwitchOff(link, &acknowledged);
    acknowledged = ended && acknowledged;
    run.Record(outcome.serial, history::kOpPowerOff, acknowledged ? "ok" : "refused", "", "", "",
               link.GetClock().Now());
    if (!acknowledged) {
      Fail(outcome, "power-off", "power off failed: " + holds + ", still on");
      co_return false;
    }
  }
  co_return true;
}

// One instrument from its read to its power-off. True when it was switched off.
Task<bool> InstrumentCycle(uclTzif& link, StationRun& run, StationOutcome& outcome) {
  run.Enter(StationPhase::Reading, "");
  clsInstrument held;
  const bool read = co_await ReadInstrument(link, held);
  const DateTime readAt = link.GetClock().Now();
  outcome.serial = Trim(held.SerialNo());
  if (!read) {
    const std::string at = LastCommand(link, held);
    Fail(outcome, "read", "read failed at " + at + ": nothing written, " + Holds(0, 0));
    run.Record(outcome.serial, history::kOpRead, "failed at " + at, "", "", "", readAt);
    co_return false;
  }
  run.Enter(StationPhase::Reading, outcome.serial);
  if (run.AlreadyDone(outcome.serial)) {
    outcome.result = StationPhase::Skipped;
    outcome.verification = "-";
    outcome.message = "already done in this run: nothing written";
    if (!run.Plan().options.powerOff) co_return false;
    bool acknowledged = false;
    const bool ended = co_await SwitchOff(link, &acknowledged);
    co_return ended && acknowledged;
  }
  const BackupResult backup = WriteDatedBackup(held, run.Plan().backupFolder, readAt);
  outcome.backupPath = backup.path;
  run.Record(outcome.serial, history::kOpRead, backup.error.empty() ? "ok" : "backup failed",
             backup.error, backup.path, MaintenanceFileText(held), readAt);
  if (!backup.error.empty()) {
    Fail(outcome, "backup", "backup failed (" + backup.error + "): nothing written, " + Holds(0, 0));
    co_return false;
  }
  const std::string mismatch = LayoutMismatch(run.Distributed(), held);
  if (!mismatch.empty()) {
    Fail(outcome, "layout", mismatch + ": nothing written, " + Holds(0, 0));
    co_return false;
  }
  const bool written = co_await WriteAndVerify(link, run, held, outcome);
  if (!written) co_return false;
  const bool finished = co_await ClockAndSwitchOff(link, run, outcome);
  if (!finished) co_return false;
  outcome.result = StationPhase::Done;
  co_return run.Plan().options.powerOff;
}

}  // namespace

std::string_view PhaseText(StationPhase phase) {
  switch (phase) {
    case StationPhase::Waiting: return "waiting";
    case StationPhase::Reading: return "reading";
    case StationPhase::Writing: return "writing";
    case StationPhase::Verifying: return "verifying";
    case StationPhase::Finishing: return "finishing";
    case StationPhase::Done: return "done";
    case StationPhase::Failed: return "failed";
    case StationPhase::Skipped: return "skipped";
  }
  return "";
}

StationRun::StationRun(StationPlan plan, StationObserver* observer, history::Recorder* recorder)
    : plan_(std::move(plan)), observer_(observer), recorder_(recorder) {
  const KvdLoadResult loaded = ReadMaintenanceText(distributed_, plan_.fileContent);
  if (!loaded.complete) {
    fileProblem_ = "stops at line " + std::to_string(loaded.stoppedAtLine) + ": " + loaded.reason;
  }
}

bool StationRun::Over() const {
  const int count = plan_.options.count;
  return stopRequested_ || (count > 0 && static_cast<int>(outcomes_.size()) >= count);
}

void StationRun::Enter(StationPhase phase, const std::string& serial) {
  if (observer_ != nullptr) observer_->PhaseChanged(phase, serial);
}

void StationRun::Finish(StationOutcome outcome) {
  if (outcome.result == StationPhase::Done) completed_.insert(outcome.serial);
  outcomes_.push_back(std::move(outcome));
  if (observer_ != nullptr) {
    observer_->PhaseChanged(outcomes_.back().result, outcomes_.back().serial);
    observer_->InstrumentFinished(outcomes_.back());
  }
}

void StationRun::Record(const std::string& serial, std::string operation, std::string result,
                        std::string detail, std::string file, std::string snapshot,
                        const DateTime& when) {
  if (recorder_ == nullptr) return;
  history::Event event;
  event.serial = serial;
  event.model = kModel;
  event.time = history::EventTime(when);
  event.user = plan_.user;
  event.operation = std::move(operation);
  event.result = std::move(result);
  event.detail = std::move(detail);
  event.file = std::move(file);
  event.snapshot = std::move(snapshot);
  const history::RecordOutcome recorded = recorder_->Record(event);
  if (!recorded.recorded) historyErrors_.push_back("history not recorded: " + recorded.error);
}

Transaction RunStation(uclTzif& link, StationRun& run) {
  bool noneFailed = true;
  while (!run.Over()) {
    const bool arrived = co_await WaitForInstrument(link, run);
    if (!arrived) break;
    StationOutcome outcome;
    const bool switchedOff = co_await InstrumentCycle(link, run, outcome);
    outcome.time = history::EventTime(link.GetClock().Now());
    if (outcome.result == StationPhase::Failed) noneFailed = false;
    run.Finish(std::move(outcome));
    if (!switchedOff && !run.Over()) {
      const bool takenAway = co_await WaitUntilTakenAway(link, run);
      if (!takenAway) break;
    }
  }
  co_return noneFailed;
}

}  // namespace kv
