#include "ops/operations.h"

#include <set>
#include <utility>

#include "files/kvd_writer.h"
#include "history/history_event.h"
#include "model/instrument_settings.h"
#include "ops/backup.h"
#include "ops/operation_end.h"
#include "protocol/frame_view.h"

namespace kv::ops {
namespace {

const SettingInfo* FindSetting(std::string_view name) {
  for (const SettingInfo& info : AllSettings()) {
    if (info.name == name) return &info;
  }
  return nullptr;
}

// "wrote 3 settings in 2 groups (4 lines)", of the acknowledged lines.
std::string WriteSummary(int settings, const std::vector<SentWriteLine>& lines) {
  std::set<std::string> groups;
  int acknowledged = 0;
  for (const SentWriteLine& line : lines) {
    if (!line.acknowledged) continue;
    ++acknowledged;
    groups.insert(line.label.substr(0, line.label.find(',')));
  }
  const auto plural = [](std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  return "wrote " + plural(static_cast<std::size_t>(settings), "setting") + " in " +
         plural(groups.size(), "group") + " (" + plural(static_cast<std::size_t>(acknowledged), "line") + ")";
}

}  // namespace

// ---- read ---------------------------------------------------------------------

void FinishRead(bool read, uclTzif& link, HistorySink& history, const clsInstrument& record,
                const ReadRequest& request, OperationOutcome& outcome) {
  BeginOperation(outcome, history::kOpRead);
  // A read that failed does not tell which instrument answered.
  history.Forget();
  if (read) {
    history.Remember(record);
    outcome.snapshot = MaintenanceFileText(record);
    BackupResult backup;
    if (!request.output.empty()) {
      backup = WriteBackupTo(record, request.output);
    } else if (!request.backupFolder.empty() && request.namedByInstrument) {
      backup = WriteBackup(record, InstrumentBackupPaths(request.backupFolder, link.GetClock().Now(),
                                                         history::SerialText(record.SerialNo())));
    } else if (!request.backupFolder.empty()) {
      backup = WriteDatedBackup(record, request.backupFolder, link.GetClock().Now());
    }
    outcome.backupPath = backup.path;
    outcome.backupError = backup.error;
    outcome.file = backup.error.empty() ? backup.path : std::string();
    outcome.detail = backup.error;
  }
  // A failed read still names the instrument when its serial number came.
  outcome.serial = history::SerialText(record.SerialNo());
  outcome.model = outcome.serial.empty() ? std::string() : history::ModelText(record.SpecType());
  EndOperation(link, history, read, outcome, record);
}

Task<bool> ReadAndBackup(uclTzif& link, HistorySink& history, clsInstrument& record,
                         const ReadRequest& request, OperationOutcome& outcome) {
  const bool read = co_await ReadInstrument(link, record);
  FinishRead(read, link, history, record, request, outcome);
  co_return outcome.Succeeded();
}

Transaction RunReadAndBackup(uclTzif& link, HistorySink& history, clsInstrument& record,
                             const ReadRequest& request, OperationOutcome& outcome) {
  const bool ok = co_await ReadAndBackup(link, history, record, request, outcome);
  co_return ok;
}

// ---- transmit -----------------------------------------------------------------

std::vector<PendingChange> ChangesOf(const TransmitRequest& request) {
  return PendingChanges(request.before, request.record);
}

Task<bool> TransmitAndVerify(uclTzif& link, HistorySink& history, TransmitRequest& request,
                             OperationOutcome& outcome) {
  BeginOperation(outcome, history::kOpTransmit);
  const std::vector<PendingChange> changes = ChangesOf(request);
  outcome.settingsToWrite = static_cast<int>(changes.size());
  outcome.file = request.file;
  const SentWriteObserver onLine = [&outcome, &request](const SentWriteLine& line) {
    outcome.lines.push_back(line);
    if (request.onLine) request.onLine(line);
  };
  const bool written = co_await UploadChanges(link, request.record, request.saveAsDefault, onLine);
  outcome.snapshot = MaintenanceFileText(request.record);
  int settingsWritten = 0;
  for (const PendingChange& change : changes) {
    const SettingInfo* info = FindSetting(change.setting);
    if (info != nullptr && !info->changed(request.record, change.index)) ++settingsWritten;
  }
  outcome.detail = WriteSummary(settingsWritten, outcome.lines);
  if (!written) {
    if (outcome.lines.empty() && !link.Cancel()) outcome.failedAt = "the record check";
    outcome.holds = "the instrument holds " + std::to_string(settingsWritten) + " of " +
                    std::to_string(outcome.settingsToWrite) + " settings as sent";
    EndOperation(link, history, false, outcome, request.record);
    co_return false;
  }
  if (request.verify) {
    clsInstrument readBack;
    const bool read = co_await ReadInstrument(link, readBack);
    if (read) {
      outcome.verification = Verify(changes, readBack, request.before, request.record);
    } else {
      outcome.verification.state = VerifyState::ReadFailed;
    }
  }
  outcome.detail += "; " + outcome.verification.Text();
  outcome.serial = history::SerialText(request.before.SerialNo());
  if (!outcome.serial.empty()) outcome.model = history::ModelText(request.before.SpecType());
  EndOperation(link, history, true, outcome, request.record);
  co_return outcome.Succeeded();
}

Transaction RunTransmit(uclTzif& link, HistorySink& history, TransmitRequest& request,
                        OperationOutcome& outcome) {
  const bool ok = co_await TransmitAndVerify(link, history, request, outcome);
  co_return ok;
}

// ---- service operations ---------------------------------------------------------

Task<bool> SetClock(uclTzif& link, HistorySink& history, OperationOutcome& outcome) {
  BeginOperation(outcome, history::kOpSetClock);
  const DateTime now = link.GetClock().Now();
  outcome.detail = FormatGeneralDate(now);
  const bool set = co_await SetDateTime(link, now);
  EndOperation(link, history, set, outcome, clsInstrument{});
  co_return set;
}

Transaction RunSetClock(uclTzif& link, HistorySink& history, OperationOutcome& outcome) {
  const bool ok = co_await SetClock(link, history, outcome);
  co_return ok;
}

// ---- power off ----------------------------------------------------------------

Task<bool> PowerOff(uclTzif& link, HistorySink& history, int settleTicks, OperationOutcome& outcome) {
  BeginOperation(outcome, history::kOpPowerOff);
  bool acknowledged = false;
  const bool ended = co_await SwitchOff(link, &acknowledged, settleTicks);
  acknowledged = ended && acknowledged;
  if (!acknowledged) outcome.failedAt = "the power-off command (RO,W): not acknowledged";
  EndOperation(link, history, acknowledged, outcome, clsInstrument{});
  history.Forget();
  co_return acknowledged;
}

Transaction RunPowerOff(uclTzif& link, HistorySink& history, OperationOutcome& outcome) {
  const bool ok = co_await PowerOff(link, history, kPowerOffSettleTicks, outcome);
  co_return ok;
}

}  // namespace kv::ops
