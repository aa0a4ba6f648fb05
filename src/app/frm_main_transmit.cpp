// frmMain: Transmit New Data, with the review of what it writes and the
// check of what the instrument holds afterwards.
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

#include "app/app_messages.h"
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "app/settings_grid.h"
#include "app/upload_dialog.h"
#include "common/messages.h"
#include "rules/record_check.h"
#include "rules/setting_names.h"

namespace kv {
namespace {

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString Message(int id, const std::vector<std::string>& args = {}) {
  return Latin1(FormatMessage(id, args));
}

// Named after the gas the instrument has on that channel; a channel it has
// no name for yet takes the edited one.
std::string DisplayName(const PendingChange& change, const clsInstrument& current,
                        const clsInstrument& edited) {
  const bool named = change.index < kSensorChannels && !current.GasName(change.index).empty();
  return rules::SettingDisplayName(change.setting, change.index, named ? current : edited);
}

}  // namespace

// ---- Transmit ----------------------------------------------------------------

bool frmMain::TablesValid() {
  const std::array<std::pair<const SettingsGrid*, int>, 5> tables = {{
      {vfgStation, 1}, {vfgUser, 1}, {vfgUserConv, -1}, {vfgPID[0], -1}, {vfgPID[1], -1}}};
  static constexpr std::array<const char*, 5> kNames = {
      "Station List", "User List", "User Defined Conversion Table", "PID Sensor Settings",
      "PID Sensor Settings"};
  for (std::size_t t = 0; t < tables.size(); ++t) {
    if (tables[t].first->HasInvalidCell(tables[t].second)) {
      services_.dialogs->Critical(Message(msg::kProgramTitle),
                                  Message(msg::kImproperData, {kNames[t]}));
      return false;
    }
  }
  return true;
}

bool frmMain::RecordWritable(const clsInstrument& record, int refusalId) {
  const std::vector<rules::SettingProblem> problems =
      rules::CheckRecord(record, rules::RecordScope::Changed);
  if (problems.empty()) return true;
  QString text = Message(refusalId);
  AppendInfo(text, info_colour::kFailure);
  for (const rules::SettingProblem& problem : problems) {
    const QString line = Latin1(problem.Describe());
    AppendInfo(line, info_colour::kFailure);
    text += QLatin1Char('\n') + line;
  }
  services_.dialogs->Critical(Message(msg::kProgramTitle), text);
  return false;
}

void frmMain::cmdSend_Click() {
  if (busy_ || uclTZ7100_.TaskRunning()) return;
  if (!TablesValid()) return;
  if (fileLoaded_ && !lastLoad_.complete &&
      !services_.dialogs->Question(
          Message(msg::kUpdateTitle),
          Message(msg::kTransmitPartialFile, {loadedPath_.toStdString(),
                                              std::to_string(lastLoad_.stoppedAtLine),
                                              lastLoad_.reason}))) {
    return;
  }
  StoreGrids();
  // The box takes effect on this Transmit: alone it still sends the store command.
  const bool saveAsDefault = chkFactorySave->isChecked();
  std::vector<PendingChange> changes = PendingChanges(curInstrument_, editInstrument_);
  if (changes.empty() && !saveAsDefault) {
    AppendMessage(msg::kNothingToTransmit, info_colour::kProgress);
    return;
  }
  // Exactly the record the write sends: the instrument's, with the edits over it.
  clsInstrument toSend = curInstrument_;
  CopyInstrument(toSend, editInstrument_, true);
  if (!RecordWritable(toSend, msg::kNotTransmitted)) return;
  std::vector<ReviewLine> lines;
  for (const PendingChange& change : changes) {
    lines.push_back({Latin1(DisplayName(change, curInstrument_, editInstrument_)),
                     Latin1(SettingValueText(change.oldValue)),
                     Latin1(SettingValueText(change.newValue))});
  }
  if (saveAsDefault) lines.push_back({chkFactorySave->text(), QString(), tr("Yes")});
  if (!services_.dialogs->Review(Message(msg::kUpdateTitle), Message(msg::kUpdateReady), lines)) {
    return;
  }
  transmitted_ = std::move(changes);
  sentLines_.clear();
  BeginTransaction(msg::kUploadCaption, msg::kNowUploading);
  curInstrument_ = toSend;
  AddLog(msg::kUploadStartSequenceLog, {FormatGeneralDate(services_.clock->Now())});
  AppendMessage(msg::kUploadStarted, info_colour::kProgress);
  Transaction write = SetInstrument(uclTZ7100_, curInstrument_, saveAsDefault,
                                   [this](const SentWriteLine& line) { sentLines_.push_back(line); });
  const bool started = uclTZ7100_.Start(std::move(write), [this](bool ok) {
    QTimer::singleShot(0, this, [this, ok] { SendFinished(ok); });
  });
  if (!started) EndTransaction();
}

void frmMain::SendFinished(bool ok) {
  if (!ok) {
    AppendMessage(msg::kUploadFail, info_colour::kFailure);
    if (uclTZ7100_.Cancel()) AppendMessage(msg::kCommunicationCanceled, info_colour::kFailure);
    ReportAcknowledged();
    AppendMessage(msg::kEditsKept, info_colour::kFailure);
    RecordHistory(curInstrument_, history::kOpTransmit, false, {}, {});
    EndTransaction();
    emit TransactionFinished(false);
    return;
  }
  AppendMessage(msg::kUploadComplete, info_colour::kProgress);
  // What the instrument took is no longer an edit.
  editInstrument_.ClearChangeFlags();
  ClearEditMarks();
  transmittedFile_ = fileLoaded_ ? loadedPath_.toStdString() : std::string();
  fileLoaded_ = false;
  if (VerifyAfterTransmit()) {
    StartVerification();
    return;
  }
  RecordHistory(curInstrument_, history::kOpTransmit, true, {}, transmittedFile_);
  EndTransaction();
  services_.dialogs->Show(Dialogs::Icon::Information, Message(msg::kUploadTitle),
                          Message(msg::kUploadCompleteBox));
  emit TransactionFinished(true);
}

void frmMain::ReportAcknowledged() {
  std::string taken;
  for (const SentWriteLine& line : sentLines_) {
    if (!line.acknowledged) continue;
    taken += (taken.empty() ? "" : ", ") + line.label;
  }
  if (taken.empty()) {
    AppendMessage(msg::kNothingAcknowledged, info_colour::kFailure);
  } else {
    AppendMessage(msg::kAcknowledgedBeforeStop, info_colour::kFailure, {taken});
  }
}

void frmMain::StartVerification() {
  AppendMessage(msg::kVerifying, info_colour::kProgress);
  if (upload_ != nullptr) upload_->SetMessage(Message(msg::kNowDownloading));
  Transaction read = services_.readInstrument(uclTZ7100_, readBack_);
  const bool started = uclTZ7100_.Start(std::move(read), [this](bool ok) {
    QTimer::singleShot(0, this, [this, ok] { VerifyFinished(ok); });
  });
  if (!started) VerifyFinished(false);
}

void frmMain::VerifyFinished(bool ok) {
  std::string verification = "not verified: the read-back failed";
  if (!ok) {
    AppendMessage(msg::kVerifyReadFailed, info_colour::kFailure);
  } else {
    const std::vector<WrittenMismatch> mismatches = CompareWritten(transmitted_, readBack_);
    for (const WrittenMismatch& mismatch : mismatches) {
      AppendMessage(msg::kNotAsTransmitted, info_colour::kFailure,
                    {DisplayName(mismatch.change, curInstrument_, editInstrument_),
                     SettingValueText(mismatch.change.newValue),
                     SettingValueText(mismatch.readBack)});
    }
    if (mismatches.empty()) AppendMessage(msg::kVerified, info_colour::kProgress);
    verification = mismatches.empty() ? "verified"
                                      : std::to_string(mismatches.size()) + " settings not as transmitted";
  }
  RecordHistory(curInstrument_, history::kOpTransmit, true, verification, transmittedFile_);
  EndTransaction();
  services_.dialogs->Show(Dialogs::Icon::Information, Message(msg::kUploadTitle),
                          Message(msg::kUploadCompleteBox));
  emit TransactionFinished(true);
}

bool frmMain::VerifyAfterTransmit() const { return chkVerify->isChecked(); }

void frmMain::SetVerifyAfterTransmit(bool verify) {
  if (chkVerify->isChecked() != verify) chkVerify->setChecked(verify);
  std::string error;
  if (!SaveVerifyAfterTransmit(services_.dataFolder.string(), verify, &error)) {
    AppendMessage(msg::kVerifyOptionNotKept, info_colour::kFailure,
                  {ConfigurationPath(services_.dataFolder.string()), error});
  }
}

}  // namespace kv
