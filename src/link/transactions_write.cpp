// The upload of changed settings, and the complete initialisation built on it.
#include <vector>

#include "common/messages.h"
#include "link/transactions.h"
#include "link/write_groups.h"
#include "rules/record_check.h"

namespace kv {
namespace {

struct PlannedLine {
  const WriteGroup* group;
  int entry;
};

// Every line the upload will send, decided before the first goes out so that
// progress can be shown against the total.
std::vector<PlannedLine> PlanUpload(const clsInstrument& record, bool saveAsDefault) {
  std::vector<PlannedLine> plan;
  for (const WriteGroup& group : WriteGroups()) {
    for (int entry = 0; entry < group.entries; ++entry) {
      if (group.wanted(record, entry, saveAsDefault)) plan.push_back({&group, entry});
    }
  }
  return plan;
}

// "XS,W,06" for a table line (head and entry number), "GP,W" otherwise.
std::string LabelOf(const WriteGroup& group, const std::string& commandText) {
  constexpr std::size_t kHeadWithoutComma = 4;
  constexpr std::size_t kEntryAt = 5;
  if (!group.PerEntry()) return commandText.substr(0, kHeadWithoutComma);
  return commandText.substr(0, commandText.find(',', kEntryAt));
}

std::string Now(const uclTzif& link) { return FormatGeneralDate(link.GetClock().Now()); }

}  // namespace

// The upload itself, awaited by both entry points: the observer comes by
// reference to the caller's named object.
Task<bool> UploadChanges(uclTzif& link, clsInstrument& record, bool saveAsDefault,
                         const SentWriteObserver& onLine) {
  link.SetCancel(false);
  // The last guard on every path to the instrument: nothing it would not
  // take as the technician meant it goes out, not even the first line.
  const std::vector<rules::SettingProblem> problems =
      rules::CheckRecord(record, rules::RecordScope::Changed);
  if (!problems.empty()) {
    link.AddLog("upload refused: " + problems.front().Describe());
    co_return false;
  }
  ReplySink sink(&record);
  const DateTime started = link.GetClock().Now();
  link.AddLog(FormatMessage(msg::kUploadStartedLog, {FormatGeneralDate(started)}));

  const std::vector<PlannedLine> plan = PlanUpload(record, saveAsDefault);
  const int total = static_cast<int>(plan.size());
  bool ok = true;
  int done = 0;
  for (const PlannedLine& line : plan) {
    SentWriteLine sent;
    sent.commandText = line.group->build(record, line.entry);
    sent.label = LabelOf(*line.group, sent.commandText);
    const LinkStatus ended =
        co_await link.SendAndWait(sink, sent.commandText, LinkStatus::WriteWaiting);
    sent.acknowledged = ended == LinkStatus::Complete;
    if (onLine) onLine(sent);
    if (!sent.acknowledged) {
      ok = false;
      break;
    }
    line.group->clear(record, line.entry);
    link.Events().Progress(++done, total);
  }

  if (ok) {
    const DateTime finished = link.GetClock().Now();
    const std::string elapsed = FormatElapsed(SecondsBetween(started, finished));
    link.AddLog(FormatMessage(msg::kUploadFinishedLog, {FormatGeneralDate(finished), elapsed}));
  } else {
    link.AddLog(FormatMessage(msg::kUploadFailedLog, {Now(link)}));
  }
  // At least the version line always goes out; this guards a plan left empty.
  const bool writtenAll = ok && done > 0;
  co_return writtenAll;
}

Transaction SetInstrument(uclTzif& link, clsInstrument& record, bool saveAsDefault,
                          SentWriteObserver onLine) {
  const bool ok = co_await UploadChanges(link, record, saveAsDefault, onLine);
  co_return ok;
}

namespace {

using GlobalFlagSetter = void (clsInstrument::*)(bool);
using ChannelFlagSetter = void (clsInstrument::*)(int, bool);

// What an initialisation always writes, on top of every change flag.
constexpr GlobalFlagSetter kInitGlobalFlags[] = {
    &clsInstrument::SetChange_UserID,       &clsInstrument::SetChange_StationID,
    &clsInstrument::SetChange_AlarmMode,    &clsInstrument::SetChange_Interval,
    &clsInstrument::SetChange_DispID,       &clsInstrument::SetChange_DispCalLimit,
    &clsInstrument::SetChange_CalCheck,     &clsInstrument::SetChange_CalLimit,
    &clsInstrument::SetChange_LunchBreak,   &clsInstrument::SetChange_AlarmSilence,
    &clsInstrument::SetChange_Confermation, &clsInstrument::SetChange_LogOverWrite,
    &clsInstrument::SetChange_LcdBackLight, &clsInstrument::SetChange_LcdContrast,
    &clsInstrument::SetChange_AlarmO2,
};
constexpr ChannelFlagSetter kInitChannelFlags[] = {
    &clsInstrument::SetChange_GasEnable, &clsInstrument::SetChange_Alarm,
    &clsInstrument::SetChange_Warn,      &clsInstrument::SetChange_Stel,
    &clsInstrument::SetChange_Twa,       &clsInstrument::SetChange_Zero,
    &clsInstrument::SetChange_AutoCal,   &clsInstrument::SetChange_OverScale,
};

void MarkForCompleteWrite(clsInstrument& record) {
  record.SetChangeFlags(true);
  for (const GlobalFlagSetter set : kInitGlobalFlags) (record.*set)(true);
  for (const ChannelFlagSetter set : kInitChannelFlags) {
    for (int ch = 0; ch < kSensorChannels; ++ch) (record.*set)(ch, true);
  }
}

}  // namespace

Transaction SetInitValue(uclTzif& link, clsInstrument& record, bool saveAsDefault) {
  const bool ok = co_await InitialiseInstrument(link, record, saveAsDefault);
  co_return ok;
}

Task<bool> InitialiseInstrument(uclTzif& link, clsInstrument& record, bool saveAsDefault) {
  MarkForCompleteWrite(record);
  // Each step only makes sense on an instrument that took the one before.
  const SentWriteObserver noObserver;
  const bool written = co_await UploadChanges(link, record, saveAsDefault, noObserver);
  if (!written) co_return false;
  const DateTime now = link.GetClock().Now();
  const bool clockSet = co_await SetDateTime(link, now);
  if (!clockSet) co_return false;
  const bool cleared = co_await BodyDataClear(link);
  co_return cleared;
}

}  // namespace kv
