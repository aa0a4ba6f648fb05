// The service operations: power off, data clearing, factory and default
// settings, clock, pump and calibrations, with their completion polls.
#include <algorithm>
#include <optional>

#include "common/messages.h"
#include "link/transactions.h"
#include "protocol/write_lines.h"

namespace kv {
namespace {

// What an accepted completion reply means: nothing while the instrument is
// still busy, otherwise the operation's outcome.
using PollVerdict = std::optional<bool>;

// Trivially copyable: coroutines take their arguments by reference to a named
// object or as trivially copyable values.
struct CompletionPoll {
  int pauseTicks;
  std::string (*command)();
  LinkStatus waitStatus;
  PollVerdict (*verdict)(const ReplySink& results);
};

// The seven result digits of a finished calibration, one per channel.
constexpr std::size_t kCalibrationResultLength = 7;

bool IsCalibrationResult(const std::optional<std::string>& result) {
  return result && result->size() == kCalibrationResultLength;
}

PollVerdict BusyPollVerdict(const ReplySink& results) {
  return results.busyPoll == true ? PollVerdict(true) : std::nullopt;
}
PollVerdict DefaultsVerdict(const ReplySink& results) {
  const std::optional<std::string>& status = results.defaultStatus;
  return !status || status->empty() ? std::nullopt : PollVerdict(*status == "0");
}
PollVerdict ZeroVerdict(const ReplySink& results) {
  return IsCalibrationResult(results.zeroResult) ? PollVerdict(true) : std::nullopt;
}
PollVerdict SpanVerdict(const ReplySink& results) {
  return IsCalibrationResult(results.spanResult) ? PollVerdict(true) : std::nullopt;
}

std::string PollGivenUpLog() {
  return "<<< Completion poll given up after " + std::to_string(kCompletionPollLimitSeconds) +
         " s >>>";
}

// The session is up. Not Connected(): that reads true whenever SerialComm is
// set, also on a lost line.
bool SessionUp(const uclTzif& link) { return link.State() == LinkState::Connected; }

// Waits `ticks` session ticks, looking on every one at Cancel and at the
// session; false as soon as Cancel is set or the session is lost.
Task<bool> PauseWhileSessionUp(uclTzif& link, int ticks) {
  for (int i = 0; i < ticks; ++i) {
    if (link.Cancel() || !SessionUp(link)) co_return false;
    co_await link.WaitTicks(1);
  }
  const bool stillUp = !link.Cancel() && SessionUp(link);
  co_return stillUp;
}

// Polls until the verdict is in. Ends false on a poll that does not complete
// (no answer, link lost, Cancel), on Cancel or a lost session between polls,
// and once the poll limit is spent. Each operation polls into a sink of its
// own, emptied first, so an earlier operation's result is never read as its.
Task<bool> PollForCompletion(uclTzif& link, ReplySink& results, const CompletionPoll& poll) {
  results.busyPoll.reset();
  results.zeroResult.reset();
  results.spanResult.reset();
  results.defaultStatus.reset();
  const int pause = std::max(1, poll.pauseTicks);
  for (int waited = 0; waited < kCompletionPollLimitTicks; waited += pause) {
    const bool paused = co_await PauseWhileSessionUp(link, pause);
    if (!paused) co_return false;
    const std::string command = poll.command();
    const LinkStatus ended = co_await link.SendAndWait(results, command, poll.waitStatus);
    if (ended != LinkStatus::Complete) co_return false;
    if (const PollVerdict verdict = poll.verdict(results)) co_return *verdict;
  }
  link.AddLog(PollGivenUpLog());
  co_return false;
}

Task<bool> SendWrite(uclTzif& link, ReplySink& sink, Named<std::string> commandText) {
  const LinkStatus ended = co_await link.SendAndWait(sink, *commandText, LinkStatus::WriteWaiting);
  const bool acknowledged = ended == LinkStatus::Complete;
  co_return acknowledged;
}

// Sends a write, then polls for its completion; false when the write is
// refused (nothing polled then).
Task<bool> WriteThenPoll(uclTzif& link, ReplySink& results, Named<std::string> writeLine,
                         const CompletionPoll& poll) {
  const bool started = co_await SendWrite(link, results, writeLine);
  if (!started) co_return false;
  const bool done = co_await PollForCompletion(link, results, poll);
  co_return done;
}

int ResultDigit(const std::optional<std::string>& result, int channel) {
  if (!IsCalibrationResult(result) || channel < 0 || channel >= kSensorChannels) {
    return -1;
  }
  const char digit = (*result)[static_cast<std::size_t>(channel)];
  return digit >= '0' && digit <= '9' ? digit - '0' : -1;
}

}  // namespace

Transaction BodyPowerOff(uclTzif& link, bool* acknowledged) {
  const bool done = co_await SwitchOff(link, acknowledged);
  co_return done;
}

Task<bool> SwitchOff(uclTzif& link, bool* acknowledged, int settleTicks) {
  link.AddLog(FormatMessage(msg::kPowerOffStartLog));
  ReplySink sink;
  const std::string line = WriteLineRO();
  const bool taken = co_await SendWrite(link, sink, line);
  if (acknowledged != nullptr) *acknowledged = taken;
  if (link.PortOpen()) link.SetPortOpen(false);
  co_await link.WaitTicks(settleTicks);
  link.Reset();
  link.AddLog(FormatMessage(msg::kPowerOffFinishedLog));
  // The window goes back to its start-up state whatever the instrument said.
  co_return true;
}

Task<bool> BodyDataClear(uclTzif& link) {
  link.SetCancel(false);
  link.AddLog(FormatMessage(msg::kDataRemoveStartLog));
  ReplySink sink;
  const std::string line = EndLineXC();
  const CompletionPoll poll{kDataClearPollTicks, ReadLineBP, LinkStatus::WriteWaiting,
                            BusyPollVerdict};
  const bool ok = co_await WriteThenPoll(link, sink, line, poll);
  link.AddLog(FormatMessage(ok ? msg::kDataRemoveFinishedLog : msg::kDataRemoveFailedLog));
  co_return ok;
}

Transaction RestoreFactorySet(uclTzif& link) {
  const bool ok = co_await RestoreFactorySettings(link);
  co_return ok;
}

Task<bool> RestoreFactorySettings(uclTzif& link) {
  link.SetCancel(false);
  ReplySink sink;
  const std::string line = WriteLineUP();
  const CompletionPoll poll{kFactoryPollTicks, ReadLineBP, LinkStatus::ReadWaiting,
                            BusyPollVerdict};
  const bool ok = co_await WriteThenPoll(link, sink, line, poll);
  // The instrument restarts with its factory settings; give it time first.
  if (ok) co_await link.WaitTicks(kFactorySettleTicks);
  link.AddLog(FormatMessage(ok ? msg::kFactoryRestoreFinished : msg::kFactoryRestoreFailed));
  co_return ok;
}

Transaction DefaultInstrument(uclTzif& link, int kind) {
  const bool ok = co_await LoadDefaultSettings(link, kind);
  co_return ok;
}

Task<bool> LoadDefaultSettings(uclTzif& link, int kind) {
  link.SetCancel(false);
  ReplySink sink;
  const std::string line = WriteLineUX(kind);
  const CompletionPoll poll{kDefaultsPollTicks, CompletionLineUX, LinkStatus::ReadWaiting,
                            DefaultsVerdict};
  const bool ok = co_await WriteThenPoll(link, sink, line, poll);
  link.AddLog(FormatMessage(ok ? msg::kDefaultFinished : msg::kDefaultFailed));
  co_return ok;
}

Task<bool> SetDateTime(uclTzif& link, DateTime date) {
  ReplySink sink;
  const std::string line = WriteLineHC(date);
  const bool ok = co_await SendWrite(link, sink, line);
  co_return ok;
}

Transaction SetPump(uclTzif& link, bool on) {
  const bool ok = co_await SwitchPump(link, on);
  co_return ok;
}

Task<bool> SwitchPump(uclTzif& link, bool on) {
  ReplySink sink;
  const std::string line = WriteLineBP(on);
  const bool ok = co_await SendWrite(link, sink, line);
  co_return ok;
}

namespace {

// Starts a calibration and polls for its seven results.
Task<bool> Calibrate(uclTzif& link, ReplySink& results, Named<std::string> startLine,
                     const CompletionPoll& poll) {
  const bool started = co_await SendWrite(link, results, startLine);
  if (!started) {
    link.AddLog(FormatMessage(msg::kCalibrationUploadFailedLog,
                              {FormatGeneralDate(link.GetClock().Now())}));
    co_return false;
  }
  const bool ok = co_await PollForCompletion(link, results, poll);
  co_return ok;
}

}  // namespace

Transaction ZeroCal(uclTzif& link, ReplySink& results) {
  const bool ok = co_await CalibrateZero(link, results);
  co_return ok;
}

Transaction SpanCal(uclTzif& link, ReplySink& results, std::string data) {
  const bool ok = co_await CalibrateSpan(link, results, data);
  co_return ok;
}

Task<bool> CalibrateZero(uclTzif& link, ReplySink& results) {
  const std::string line = WriteLineSZ();
  const CompletionPoll poll{kCalibrationPollTicks, CompletionLineSZ, LinkStatus::WriteWaiting,
                            ZeroVerdict};
  const bool ok = co_await Calibrate(link, results, line, poll);
  co_return ok;
}

Task<bool> CalibrateSpan(uclTzif& link, ReplySink& results, Named<std::string> data) {
  const std::string line = WriteLineS2(*data);
  const CompletionPoll poll{kCalibrationPollTicks, CompletionLineS2, LinkStatus::ReadWaiting,
                            SpanVerdict};
  const bool ok = co_await Calibrate(link, results, line, poll);
  co_return ok;
}

int ZeroStatus(const ReplySink& results, int channel) {
  return ResultDigit(results.zeroResult, channel);
}

int SpanStatus(const ReplySink& results, int channel) {
  return ResultDigit(results.spanResult, channel);
}

}  // namespace kv
