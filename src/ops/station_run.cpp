#include "ops/station_run.h"

#include <utility>

#include "files/kvd_reader.h"
#include "history/history_event.h"
#include "link/command_subjects.h"
#include "ops/operations.h"
#include "ops/station_files.h"
#include "ops/station_settings.h"

namespace kv {
namespace {

// A port left idle without an instrument is opened again after this long.
constexpr int kReconnectTicks = uclTzif::kTicksPerSecond;
// A failed instrument is asked this often whether it is still on the adapter.
constexpr int kPresencePollTicks = uclTzif::kTicksPerSecond;

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

// The settings of the line an upload stopped at ("User 7 (XZ,W,07)"), else
// where the link stopped.
std::string RefusedAt(const ops::OperationOutcome& transmit, const clsInstrument& sent) {
  for (const SentWriteLine& line : transmit.lines) {
    if (!line.acknowledged) return DescribeCommand(line.commandText, sent);
  }
  return transmit.failedAt;
}

// "verify failed: 2 settings not as sent (CO warning level, ...)".
std::string VerifyFailure(const ops::Verification& verification) {
  if (verification.state == ops::VerifyState::ReadFailed) return "verify failed: not verified";
  const std::vector<ops::Mismatch>& differing = verification.mismatches;
  std::string names;
  for (std::size_t i = 0; i < differing.size() && i < 3; ++i) names += (i ? ", " : "") + differing[i].name;
  if (differing.size() > 3) names += ", ...";
  return "verify failed: " + Plural(static_cast<int>(differing.size()), "setting") + " not as sent (" +
         names + ")";
}

// Writes the distributed settings in which `held` differs and verifies them.
// Fills the outcome's counts and verification; false after a failure.
Task<bool> WriteAndVerify(uclTzif& link, StationRun& run, const clsInstrument& held,
                          StationOutcome& outcome) {
  RollOut plan = PlanRollOut(run.Plan().fileContent, held);
  ops::TransmitRequest request;
  request.before = held;
  request.record = std::move(plan.wanted);
  request.verify = run.Plan().options.verify;
  request.file = run.Plan().fileName;
  outcome.settingsToWrite = static_cast<int>(plan.differences.size());
  run.Enter(StationPhase::Writing, outcome.serial);
  if (outcome.settingsToWrite == 0) {
    outcome.verification = "nothing to write";
    co_return true;
  }
  ops::OperationOutcome transmit;
  // The outcome says more than the result: a write taken but not verified.
  co_await ops::TransmitAndVerify(link, run.History(), request, transmit);
  run.Recorded(transmit.history);
  outcome.settingsWritten = WrittenDifferences(plan.differences, request.record);
  const std::string holdsAll = Holds(outcome.settingsWritten, outcome.settingsToWrite);
  if (!transmit.done) {
    Fail(outcome, "transmit", "transmit failed at " + RefusedAt(transmit, request.record) + ": " + holdsAll);
    co_return false;
  }
  outcome.verification = transmit.verification.state == ops::VerifyState::Differs
                             ? std::to_string(transmit.verification.mismatches.size()) + " differ"
                             : transmit.verification.Text();
  if (transmit.verification.state == ops::VerifyState::ReadFailed) outcome.verification = "unreadable";
  if (!transmit.Succeeded()) {
    Fail(outcome, "verify", VerifyFailure(transmit.verification) + ": " + holdsAll);
    co_return false;
  }
  co_return true;
}

// Sets the clock and switches off; false after a failure.
Task<bool> ClockAndSwitchOff(uclTzif& link, StationRun& run, StationOutcome& outcome) {
  run.Enter(StationPhase::Finishing, outcome.serial);
  const std::string holds = "instrument holds the distributed settings";
  ops::OperationOutcome step;
  if (run.Plan().options.setClock) {
    const bool clockSet = co_await ops::SetClock(link, run.History(), step);
    run.Recorded(step.history);
    if (!clockSet) {
      Fail(outcome, "clock", "clock failed: " + holds + ", its clock not set");
      co_return false;
    }
  }
  if (run.Plan().options.powerOff) {
    const bool off = co_await ops::PowerOff(link, run.History(), kPowerOffSettleTicks, step);
    run.Recorded(step.history);
    if (!off) {
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
  ops::OperationOutcome read;
  const ops::ReadRequest request{run.Plan().backupFolder, {}, true};
  co_await ops::ReadAndBackup(link, run.History(), held, request, read);
  run.Recorded(read.history);
  outcome.serial = history::SerialText(held.SerialNo());
  if (read.done && outcome.serial.empty()) outcome.serial = kNoSerial;
  outcome.backupPath = read.backupPath;
  if (!read.done) {
    Fail(outcome, "read", "read failed at " + read.failedAt + ": nothing written, " + Holds(0, 0));
    co_return false;
  }
  run.Enter(StationPhase::Reading, outcome.serial);
  if (run.AlreadyDone(outcome.serial)) {
    outcome.result = StationPhase::Skipped;
    outcome.verification = "-";
    outcome.message = "already done in this run: nothing written";
    if (!run.Plan().options.powerOff) co_return false;
    ops::OperationOutcome off;
    const bool switchedOff = co_await ops::PowerOff(link, run.History(), kPowerOffSettleTicks, off);
    run.Recorded(off.history);
    co_return switchedOff;
  }
  if (!read.backupError.empty()) {
    Fail(outcome, "backup", "backup failed (" + read.backupError + "): nothing written, " + Holds(0, 0));
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
    : plan_(std::move(plan)), observer_(observer), history_(recorder, plan_.user) {
  history_.SetBlankSerial(kNoSerial);
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
  if (outcome.result == StationPhase::Done && outcome.serial != kNoSerial) completed_.insert(outcome.serial);
  if (report_ != nullptr && !report_->Append(outcome) && reportError_.empty()) reportError_ = report_->Error();
  outcomes_.push_back(std::move(outcome));
  if (observer_ != nullptr) {
    observer_->PhaseChanged(outcomes_.back().result, outcomes_.back().serial);
    observer_->InstrumentFinished(outcomes_.back());
  }
}

void StationRun::Recorded(const history::RecordOutcome& outcome) {
  if (history_.Active() && !outcome.recorded) historyErrors_.push_back(history::NotRecordedText(outcome));
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
