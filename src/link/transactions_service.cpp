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

// Trivially copyable on purpose: it is handed by value to a coroutine inside
// a co_await expression.
struct CompletionPoll {
  int pauseTicks;
  std::string (*command)();
  LinkStatus waitStatus;
  PollVerdict (*verdict)(const uclTzif& link);
};

// The seven result digits of a finished calibration, one per channel.
constexpr std::size_t kCalibrationResultLength = 7;

PollVerdict BusyPollVerdict(const uclTzif& link) {
  return link.BusyPoll() ? PollVerdict(true) : std::nullopt;
}
PollVerdict DefaultsVerdict(const uclTzif& link) {
  const std::string& status = link.DefaultStatus();
  return status.empty() ? std::nullopt : PollVerdict(status == "0");
}
PollVerdict ZeroVerdict(const uclTzif& link) {
  return link.ZeroResult().size() == kCalibrationResultLength ? PollVerdict(true) : std::nullopt;
}
PollVerdict SpanVerdict(const uclTzif& link) {
  return link.SpanResult().size() == kCalibrationResultLength ? PollVerdict(true) : std::nullopt;
}

std::string PollGivenUpLog() {
  return "<<< Completion poll given up after " + std::to_string(kCompletionPollLimitSeconds) +
         " s >>>";
}

// Waits `ticks` session ticks, looking on every one at Cancel and at the
// link; false as soon as Cancel is set or the link is lost.
Task<bool> PauseWhileConnected(uclTzif& link, int ticks) {
  for (int i = 0; i < ticks; ++i) {
    if (link.Cancel() || !link.Connected()) co_return false;
    co_await link.WaitTicks(1);
  }
  co_return !link.Cancel() && link.Connected();
}

// Polls until the verdict is in. Ends false on a poll that does not complete
// (no answer, link lost, Cancel), on Cancel or a lost link between polls, and
// once the poll limit is spent.
Task<bool> PollForCompletion(uclTzif& link, CompletionPoll poll) {
  const int pause = std::max(1, poll.pauseTicks);
  for (int waited = 0; waited < kCompletionPollLimitTicks; waited += pause) {
    const bool paused = co_await PauseWhileConnected(link, pause);
    if (!paused) co_return false;
    const std::string command = poll.command();
    const LinkStatus ended = co_await link.SendAndWait(command, poll.waitStatus);
    if (ended != LinkStatus::Complete) co_return false;
    if (const PollVerdict verdict = poll.verdict(link)) co_return *verdict;
  }
  link.AddLog(PollGivenUpLog());
  co_return false;
}

// Arguments of a coroutine awaited in place are named objects of the caller,
// never temporaries: some compilers destroy such a temporary twice.
Task<bool> SendWrite(uclTzif& link, const std::string& commandText) {
  const LinkStatus ended = co_await link.SendAndWait(commandText, LinkStatus::WriteWaiting);
  co_return ended == LinkStatus::Complete;
}

int ResultDigit(const std::string& result, int channel) {
  if (result.size() != kCalibrationResultLength || channel < 0 || channel >= kSensorChannels) {
    return -1;
  }
  const char digit = result[static_cast<std::size_t>(channel)];
  return digit >= '0' && digit <= '9' ? digit - '0' : -1;
}

}  // namespace

Task<bool> BodyPowerOff(uclTzif& link, bool* acknowledged) {
  link.AddLog(FormatMessage(msg::kPowerOffStartLog));
  const std::string line = WriteLineRO();
  const bool taken = co_await SendWrite(link, line);
  if (acknowledged != nullptr) *acknowledged = taken;
  if (link.PortOpen()) link.SetPortOpen(false);
  co_await link.WaitTicks(kPowerOffSettleTicks);
  link.Reset();
  link.AddLog(FormatMessage(msg::kPowerOffFinishedLog));
  // The window goes back to its start-up state whatever the instrument said.
  co_return true;
}

Task<bool> BodyDataClear(uclTzif& link) {
  link.SetCancel(false);
  link.AddLog(FormatMessage(msg::kDataRemoveStartLog));
  const std::string line = EndLineXC();
  bool ok = co_await SendWrite(link, line);
  if (ok) {
    link.SetBusyPoll(false);
    const CompletionPoll poll{kDataClearPollTicks, ReadLineBP, LinkStatus::WriteWaiting,
                              BusyPollVerdict};
    ok = co_await PollForCompletion(link, poll);
  }
  link.AddLog(FormatMessage(ok ? msg::kDataRemoveFinishedLog : msg::kDataRemoveFailedLog));
  co_return ok;
}

Task<bool> RestoreFactorySet(uclTzif& link) {
  link.SetCancel(false);
  const std::string line = WriteLineUP();
  bool ok = co_await SendWrite(link, line);
  if (ok) {
    link.SetBusyPoll(false);
    const CompletionPoll poll{kFactoryPollTicks, ReadLineBP, LinkStatus::ReadWaiting,
                              BusyPollVerdict};
    ok = co_await PollForCompletion(link, poll);
    // The instrument restarts with its factory settings; give it time first.
    if (ok) co_await link.WaitTicks(kFactorySettleTicks);
  }
  link.AddLog(FormatMessage(ok ? msg::kFactoryRestoreFinished : msg::kFactoryRestoreFailed));
  co_return ok;
}

Task<bool> DefaultInstrument(uclTzif& link, int kind) {
  link.SetCancel(false);
  const std::string line = WriteLineUX(kind);
  bool ok = co_await SendWrite(link, line);
  if (ok) {
    link.SetDefaultStatus(std::string());
    const CompletionPoll poll{kDefaultsPollTicks, CompletionLineUX, LinkStatus::ReadWaiting,
                              DefaultsVerdict};
    ok = co_await PollForCompletion(link, poll);
  }
  link.AddLog(FormatMessage(ok ? msg::kDefaultFinished : msg::kDefaultFailed));
  co_return ok;
}

Task<bool> SetDateTime(uclTzif& link, DateTime date) {
  const std::string line = WriteLineHC(date);
  const bool ok = co_await SendWrite(link, line);
  co_return ok;
}

Task<bool> SetPump(uclTzif& link, bool on) {
  const std::string line = WriteLineBP(on);
  const bool ok = co_await SendWrite(link, line);
  co_return ok;
}

namespace {

// Starts a calibration and polls for its seven results. `setResult` clears
// the result of an earlier calibration first.
Task<bool> Calibrate(uclTzif& link, const std::string& startLine, const CompletionPoll& poll,
                     void (uclTzif::*setResult)(std::string)) {
  const bool started = co_await SendWrite(link, startLine);
  if (!started) {
    link.AddLog(FormatMessage(msg::kCalibrationUploadFailedLog,
                              {FormatGeneralDate(link.GetClock().Now())}));
    co_return false;
  }
  (link.*setResult)(std::string());
  const bool ok = co_await PollForCompletion(link, poll);
  co_return ok;
}

}  // namespace

Task<bool> ZeroCal(uclTzif& link) {
  const std::string line = WriteLineSZ();
  const CompletionPoll poll{kCalibrationPollTicks, CompletionLineSZ, LinkStatus::WriteWaiting,
                            ZeroVerdict};
  const bool ok = co_await Calibrate(link, line, poll, &uclTzif::SetZeroResult);
  co_return ok;
}

Task<bool> SpanCal(uclTzif& link, std::string data) {
  const std::string line = WriteLineS2(data);
  const CompletionPoll poll{kCalibrationPollTicks, CompletionLineS2, LinkStatus::ReadWaiting,
                            SpanVerdict};
  const bool ok = co_await Calibrate(link, line, poll, &uclTzif::SetSpanResult);
  co_return ok;
}

int ZeroStatus(const uclTzif& link, int channel) { return ResultDigit(link.ZeroResult(), channel); }

int SpanStatus(const uclTzif& link, int channel) { return ResultDigit(link.SpanResult(), channel); }

}  // namespace kv
