// frmMain: Transmit New Data, with the review of what it writes and the
// check of what the instrument holds afterwards.
#include <QCheckBox>
#include <QPushButton>

#include "app/app_messages.h"
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "app/settings_tabs.h"
#include "app/transaction_runner.h"
#include "app/upload_dialog.h"
#include "common/messages.h"
#include "files/record_as_filed.h"
#include "history/history_event.h"
#include "link/transactions.h"
#include "qtedge/latin1.h"
#include "link/change_review.h"
#include "link/command_subjects.h"
#include "qtedge/file_edit_lock.h"
#include "rules/record_check.h"

namespace kv {
namespace {

QString Message(int id, const std::vector<std::string>& args = {}) {
  return ToQString(FormatMessage(id, args));
}

}  // namespace

// ---- Transmit ----------------------------------------------------------------

bool frmMain::TablesValid() {
  const std::string refused = SSTab1->FirstRefusedTable();
  if (refused.empty()) return true;
  services_.dialogs->Critical(Message(msg::kProgramTitle), Message(msg::kImproperData, {refused}));
  return false;
}

bool frmMain::RecordWritable(const clsInstrument& record, int refusalId) {
  const std::vector<rules::SettingProblem> problems =
      rules::CheckRecord(record, rules::RecordScope::Changed);
  if (problems.empty()) return true;
  QString text = Message(refusalId);
  AppendInfo(text, info_colour::kFailure);
  for (const rules::SettingProblem& problem : problems) {
    const QString line = ToQString(problem.Describe());
    AppendInfo(line, info_colour::kFailure);
    text += QLatin1Char('\n') + line;
  }
  services_.dialogs->Critical(Message(msg::kProgramTitle), text);
  return false;
}

void frmMain::cmdSend_Click() {
  if (Busy() || uclTZ7100_.TaskRunning()) return;
  if (!TablesValid()) return;
  // The link was lost since the Get: whoever answers now may be another instrument.
  if (instrumentRead_ && !identityLive_) {
    CheckConnectedInstrument();
    return;
  }
  Transmit();
}

void frmMain::CheckConnectedInstrument() {
  connectedIdentity_ = clsInstrument{};
  SetBusy(true);
  const bool started = runner_->Start(ReadSerialNumber(uclTZ7100_, connectedIdentity_), [this](bool ok) {
    SetBusy(false);
    const QString read = ToQString(history::SerialText(curInstrument_.SerialNo()));
    const QString now = ToQString(history::SerialText(connectedIdentity_.SerialNo()));
    if (!ok) {
      RefuseTransmit(tr("Not transmitted: the instrument connected now did not give its serial "
                        "number, so it cannot be told from S/N %1, whose settings the grids hold.")
                         .arg(read));
    } else if (connectedIdentity_.SerialNo() != curInstrument_.SerialNo()) {
      RefuseTransmit(tr("Not transmitted: the instrument connected now is S/N %1, but the grids hold "
                        "the settings read from S/N %2. Get the settings of this instrument first, "
                        "or connect S/N %2 again.")
                         .arg(now, read));
    } else {
      identityLive_ = true;
      ShowIdentity();
      Transmit();
    }
  });
  if (!started) {
    SetBusy(false);
    RefuseTransmit(tr("Not transmitted: the link is not free to ask the instrument who it is."));
  }
}

void frmMain::RefuseTransmit(const QString& reason) {
  AppendInfo(reason, info_colour::kFailure);
  services_.dialogs->Critical(Message(msg::kProgramTitle), reason);
  emit TransactionFinished(false);
}

void frmMain::Transmit() {
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
  // Compared with what the instrument holds (as a file would give it back, when
  // a file is sent: what a file cannot keep is no change); with nothing read,
  // with the file as loaded.
  const clsInstrument held = !fileLoaded_       ? curInstrument_
                             : instrumentRead_ ? AsFiled(curInstrument_)
                                               : fileAsLoaded_;
  std::vector<ReviewLine> lines;
  for (const ReviewRow& row : ReviewRows(changes, held, editInstrument_)) {
    lines.push_back({ToQString(row.name), ToQString(row.before), ToQString(row.after), row.unchanged});
  }
  if (saveAsDefault) lines.push_back({chkFactorySave->text(), QString(), tr("Yes")});
  if (!services_.dialogs->Review(Message(msg::kUpdateTitle), Message(msg::kUpdateReady), lines)) {
    return;
  }
  transmit_ = ops::TransmitRequest{};
  transmit_.before = curInstrument_;
  transmit_.record = toSend;
  transmit_.saveAsDefault = saveAsDefault;
  transmit_.verify = VerifyAfterTransmit();
  transmit_.file = fileLoaded_ ? loadedPath_.toStdString() : std::string();
  BeginTransaction(msg::kUploadCaption, msg::kNowUploading);
  AddLog(msg::kUploadStartSequenceLog, {FormatGeneralDate(services_.clock->Now())});
  AppendMessage(msg::kUploadStarted, info_colour::kProgress);
  Transaction write = ops::RunTransmit(uclTZ7100_, Sink(), transmit_, outcome_);
  const bool started = runner_->Start(std::move(write), [this](bool) { SendFinished(); });
  if (!started) EndTransaction();
}

void frmMain::SendFinished() {
  // The instrument's record is what the write left: the flags of the
  // groups it took are cleared.
  curInstrument_ = transmit_.record;
  if (!outcome_.done) {
    AppendMessage(msg::kUploadFail, info_colour::kFailure);
    if (outcome_.interrupted) AppendMessage(msg::kCommunicationCanceled, info_colour::kFailure);
    ReportAcknowledged();
    AppendMessage(msg::kEditsKept, info_colour::kFailure);
    ReportRecording(outcome_);
    EndTransaction();
    emit TransactionFinished(false);
    return;
  }
  AppendMessage(msg::kUploadComplete, info_colour::kProgress);
  // What the instrument took is no longer an edit.
  editInstrument_.ClearChangeFlags();
  ClearEditMarks();
  fileLoaded_ = false;
  ReportVerification();
  ReportRecording(outcome_);
  EndTransaction();
  services_.dialogs->Show(Dialogs::Icon::Information, Message(msg::kUploadTitle),
                          Message(msg::kUploadCompleteBox));
  emit TransactionFinished(true);
}

void frmMain::ReportAcknowledged() {
  std::string taken;
  for (const SentWriteLine& line : outcome_.lines) {
    if (line.acknowledged) taken += (taken.empty() ? "" : ", ") + DescribeCommand(line.commandText, transmit_.record);
  }
  if (taken.empty()) {
    AppendMessage(msg::kNothingAcknowledged, info_colour::kFailure);
  } else {
    AppendMessage(msg::kAcknowledgedBeforeStop, info_colour::kFailure, {taken});
  }
}

void frmMain::ReportVerification() {
  const ops::Verification& verification = outcome_.verification;
  if (verification.state == ops::VerifyState::NotAsked) return;
  AppendMessage(msg::kVerifying, info_colour::kProgress);
  if (verification.state == ops::VerifyState::ReadFailed) {
    AppendMessage(msg::kVerifyReadFailed, info_colour::kFailure);
    return;
  }
  for (const ops::Mismatch& mismatch : verification.mismatches) {
    AppendMessage(msg::kNotAsTransmitted, info_colour::kFailure, {mismatch.name, mismatch.sent, mismatch.held});
  }
  if (verification.mismatches.empty()) AppendMessage(msg::kVerified, info_colour::kProgress);
}

bool frmMain::VerifyAfterTransmit() const { return chkVerify->isChecked(); }

void frmMain::SetVerifyAfterTransmit(bool verify) {
  if (chkVerify->isChecked() != verify) chkVerify->setChecked(verify);
  std::string error;
  const std::string folder = services_.dataFolder.string();
  const auto save = [&folder, verify](std::string* why) { return SaveVerifyAfterTransmit(folder, verify, why); };
  if (!EditLocked(ConfigurationPath(folder), save, &error)) {
    AppendMessage(msg::kVerifyOptionNotKept, info_colour::kFailure,
                  {ConfigurationPath(services_.dataFolder.string()), error});
  }
}

}  // namespace kv
