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
// Unanswered probes in a row that tell the instrument just left has gone:
// a single lost answer on an infrared line is no proof.
constexpr int kGoneAfterSilentProbes = 3;

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
// sequence that gave up is started again while the run lasts. An answered
// probe ends the wait at once, not on the next tick.
Task<bool> WaitForInstrument(uclTzif& link, StationPort& at) {
  StationRun& run = at.Run();
  at.Enter(StationPhase::Waiting, "");
  int idleTicks = kReconnectTicks;
  ReplySink probeReply;
  while (link.State() != LinkState::Connected) {
    if (run.Over()) co_return false;
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
    if (link.State() == LinkState::Connected) break;
    if (link.State() == LinkState::Connecting && link.Status() == LinkStatus::ReadWaiting) {
      co_await link.WaitWhileStatus(probeReply, LinkStatus::ReadWaiting);
    } else {
      co_await link.WaitTicks(1);
    }
  }
  // A stop asked for while the instrument came on: it is not started.
  const bool go = !run.Over();
  co_return go;
}

// On a port without modem lines the next instrument is probed for straight
// after a power-off; an adapter with lines keeps the link's settling time.
bool ProbesQuickly(uclTzif& link) { return !link.Port().ReadModemLines().has_value(); }

int PowerOffSettleTicks(uclTzif& link) { return ProbesQuickly(link) ? 0 : kPowerOffSettleTicks; }

// Probes every tick until the next instrument answers. The one just left
// (`left`, when `stillThere`: switched off, or taken away after a failure)
// may answer a while longer: one answering is taken only once the line has
// been silent for kGoneAfterSilentProbes probes, or when it names another
// serial number. A blank serial never names another.
Task<bool> ProbeForNextInstrument(uclTzif& link, StationPort& at, const std::string& left,
                                  bool stillThere) {
  StationRun& run = at.Run();
  at.Enter(StationPhase::Waiting, "");
  int silentProbes = 0;
  bool gone = !stillThere;
  while (!run.Over()) {
    const bool answered = co_await ProbeQuickly(link);
    if (!answered) {
      gone = gone || ++silentProbes >= kGoneAfterSilentProbes;
      continue;
    }
    silentProbes = 0;
    if (gone) co_return true;
    clsInstrument identity;
    const bool named = co_await ReadSerialQuickly(link, identity);
    const std::string serial = history::SerialText(identity.SerialNo());
    if (named && !serial.empty() && serial != left) co_return true;
    // Still the instrument just left: ask again on the next tick.
    link.Reset();
    co_await link.WaitTicks(1);
  }
  co_return false;
}

// Waits until the instrument left on the adapter no longer answers (taken
// away), then lets the link look for the next one.
Task<bool> WaitUntilTakenAway(uclTzif& link, StationRun& run) {
  ReplySink sink;
  while (!run.Over()) {
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
Task<bool> WriteAndVerify(uclTzif& link, StationPort& at, const clsInstrument& held,
                          StationOutcome& outcome) {
  StationRun& run = at.Run();
  RollOut plan = PlanRollOut(run.Plan().fileContent, held);
  ops::TransmitRequest request;
  request.before = held;
  request.record = std::move(plan.wanted);
  request.verify = run.Plan().options.verify;
  request.file = run.Plan().fileName;
  outcome.settingsToWrite = static_cast<int>(plan.differences.size());
  at.Enter(StationPhase::Writing, outcome.serial);
  if (outcome.settingsToWrite == 0) {
    outcome.verification = "nothing to write";
    co_return true;
  }
  ops::OperationOutcome transmit;
  // The outcome says more than the result: a write taken but not verified.
  co_await ops::TransmitAndVerify(link, at.History(), request, transmit);
  at.Recorded(transmit.history);
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
Task<bool> ClockAndSwitchOff(uclTzif& link, StationPort& at, StationOutcome& outcome) {
  StationRun& run = at.Run();
  at.Enter(StationPhase::Finishing, outcome.serial);
  const std::string holds = "instrument holds the distributed settings";
  ops::OperationOutcome step;
  if (run.Plan().options.setClock) {
    const bool clockSet = co_await ops::SetClock(link, at.History(), step);
    at.Recorded(step.history);
    if (!clockSet) {
      Fail(outcome, "clock", "clock failed: " + holds + ", its clock not set");
      co_return false;
    }
  }
  if (run.Plan().options.powerOff) {
    const bool off = co_await ops::PowerOff(link, at.History(), PowerOffSettleTicks(link), step);
    at.Recorded(step.history);
    if (!off) {
      Fail(outcome, "power-off", "power off failed: " + holds + ", still on");
      co_return false;
    }
  }
  co_return true;
}

// One instrument from its read to its power-off. True when it was switched off.
Task<bool> InstrumentCycle(uclTzif& link, StationPort& at, StationOutcome& outcome) {
  StationRun& run = at.Run();
  at.Enter(StationPhase::Reading, "");
  clsInstrument held;
  ops::OperationOutcome read;
  const ops::ReadRequest request{run.Plan().backupFolder, {}, true};
  co_await ops::ReadAndBackup(link, at.History(), held, request, read);
  at.Recorded(read.history);
  outcome.serial = history::SerialText(held.SerialNo());
  if (read.done && outcome.serial.empty()) outcome.serial = kNoSerial;
  outcome.backupPath = read.backupPath;
  if (!read.done) {
    Fail(outcome, "read", "read failed at " + read.failedAt + ": nothing written, " + Holds(0, 0));
    co_return false;
  }
  at.Enter(StationPhase::Reading, outcome.serial);
  if (run.AlreadyDone(outcome.serial)) {
    outcome.result = StationPhase::Skipped;
    outcome.verification = "-";
    outcome.message = "already done in this run: nothing written";
    if (!run.Plan().options.powerOff) co_return false;
    ops::OperationOutcome off;
    const bool switchedOff = co_await ops::PowerOff(link, at.History(), PowerOffSettleTicks(link), off);
    at.Recorded(off.history);
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
  const bool written = co_await WriteAndVerify(link, at, held, outcome);
  if (!written) co_return false;
  const bool finished = co_await ClockAndSwitchOff(link, at, outcome);
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

void StationRun::Enter(const std::string& port, StationPhase phase, const std::string& serial) {
  if (observer_ != nullptr) observer_->PortPhaseChanged(port, phase, serial);
}

void StationRun::Finish(StationOutcome outcome) {
  if (outcome.result == StationPhase::Done && outcome.serial != kNoSerial) completed_.insert(outcome.serial);
  if (report_ != nullptr && !report_->Append(outcome) && reportError_.empty()) reportError_ = report_->Error();
  outcomes_.push_back(std::move(outcome));
  if (observer_ != nullptr) {
    const StationOutcome& last = outcomes_.back();
    observer_->PortPhaseChanged(last.port, last.result, last.serial);
    observer_->InstrumentFinished(last);
  }
}

void StationRun::Recorded(const history::RecordOutcome& outcome) {
  if (recorder_ != nullptr && !outcome.recorded) historyErrors_.push_back(history::NotRecordedText(outcome));
}

StationPort::StationPort(StationRun& run, std::string name)
    : run_(run), name_(std::move(name)), history_(run.Recorder(), run.Plan().user) {
  history_.SetBlankSerial(kNoSerial);
}

void StationPort::Finish(StationOutcome outcome) {
  outcome.port = name_;
  run_.Finish(std::move(outcome));
}

namespace {

// The adapter's line until the run is over.
Task<bool> RunPort(uclTzif& link, StationPort& at) {
  StationRun& run = at.Run();
  bool noneFailed = true;
  // The instrument the last cycle left, and whether it may still answer.
  std::string left;
  bool mayStillAnswer = false;
  bool first = true;
  while (!run.Over()) {
    bool arrived = false;
    if (first || !ProbesQuickly(link)) {
      arrived = co_await WaitForInstrument(link, at);
    } else {
      arrived = co_await ProbeForNextInstrument(link, at, left, mayStillAnswer);
    }
    if (!arrived) break;
    first = false;
    StationOutcome outcome;
    const bool switchedOff = co_await InstrumentCycle(link, at, outcome);
    outcome.time = history::EventTime(link.GetClock().Now());
    if (outcome.result == StationPhase::Failed) noneFailed = false;
    left = outcome.serial == kNoSerial ? std::string() : outcome.serial;
    mayStillAnswer = switchedOff;
    at.Finish(std::move(outcome));
    if (!switchedOff && !run.Over()) {
      const bool takenAway = co_await WaitUntilTakenAway(link, run);
      if (!takenAway) break;
    }
  }
  co_return noneFailed;
}

}  // namespace

Transaction RunStation(uclTzif& link, StationPort& port) {
  const bool noneFailed = co_await RunPort(link, port);
  co_return noneFailed;
}

Transaction RunStation(uclTzif& link, StationRun& run) {
  StationPort port(run, "");
  const bool noneFailed = co_await RunPort(link, port);
  co_return noneFailed;
}

Transaction WaitForOtherPorts(uclTzif& link, std::function<bool()> othersRunning) {
  while (othersRunning()) co_await link.WaitTicks(1);
  co_return true;
}

}  // namespace kv
