// frmMain: the link's events, the button states and the Get action.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_messages.h"
#include "app/frm_main.h"
#include "app/frm_live.h"
#include "app/info_pane.h"
#include "app/transaction_runner.h"
#include "common/messages.h"
#include "files/backup_name.h"
#include "model/instrument_settings.h"
#include "history/history_event.h"
#include "qtedge/latin1.h"
#include "report/report_content.h"

namespace kv {

// ---- link events -------------------------------------------------------------

void frmMain::OnConnect() {
  if (!uclTZ7100_.Connected()) return;
  AppendMessage(msg::kConnectionSuccessful, info_colour::kConnected);
  waitingFor_.clear();
  // Edits read or loaded before the instrument went can be sent again.
  SetButtons(true, recordShown_ ? 1 : 0);
  ShowIdentity();
}

void frmMain::ConnectRetry(int count) {
  AppendMessage(msg::kConnectRetry, info_colour::kProgress, {std::to_string(count)});
}

void frmMain::InstMessage(const std::string& text) { AppendInfo(ToQString(text), info_colour::kRelayed); }

void frmMain::InterMessage(const std::string& text) {
  AppendInfo(ToQString(text), info_colour::kRelayed);
}

void frmMain::AlarmMessage(const std::string& text) {
  // The connect sequence gave up; the search starts it again, silently
  // while it keeps giving up.
  if (!waitingFor_.isEmpty()) return;
  AppendInfo(ToQString(text), info_colour::kRelayed);
  const QString port = services_.portName ? services_.portName() : QString();
  SayWaiting(port.isEmpty() ? tr("Waiting for an instrument ...")
                            : tr("Waiting for an instrument on %1 ...").arg(port));
}

void frmMain::DumpMessage(const std::string& text) { runner_->ShowMessage(ToQString(text)); }

void frmMain::LinkLost() {
  if (live_ != nullptr) live_->Stop();
  SetButtons(false, 0);
  identityLive_ = false;
  ShowIdentity();
  ReportLinkLost();
}

void frmMain::Progress(int done, int total) { runner_->ShowProgress(done, total); }

// ---- buttons -------------------------------------------------------------------

void frmMain::SetButtons(bool enable, int level) {
  if (enable) {
    buttons_.powerOff = true;
    buttons_.get = true;
    if (level >= 1) {
      buttons_.load = true;
      buttons_.send = true;
    }
  } else {
    buttons_.powerOff = buttons_.get = buttons_.load = buttons_.send = false;
  }
  ApplyButtonStates();
}

void frmMain::SetEndButton(bool enabled) {
  buttons_.end = enabled;
  ApplyButtonStates();
}

bool frmMain::Busy() const { return runner_->Busy(); }

frmUpload* frmMain::UploadDialog() const { return runner_->Dialog(); }

void frmMain::SetBusy(bool busy) { runner_->SetBusy(busy); }

void frmMain::ApplyButtonStates() {
  const bool idle = !Busy();
  cmdGet->setEnabled(buttons_.get && idle);
  cmdLoad->setEnabled(buttons_.load && idle);
  cmdSend->setEnabled(buttons_.send && idle);
  cmdPowerOff->setEnabled(buttons_.powerOff && idle);
  cmdEnd->setEnabled(buttons_.end && idle);
  cmdStore->setEnabled(idle);
  txtPath->setEnabled(idle);
  // A way on while no instrument answers.
  const bool connected = uclTZ7100_.State() == LinkState::Connected;
  cmdConnect->setEnabled(idle && !connected);
  cboPort->setEnabled(idle && !connected);
  // The Service menu needs a connected instrument, like Get.
  for (QAction* action : serviceActions_) action->setEnabled(buttons_.get && idle);
}

// ---- transactions ----------------------------------------------------------------

void frmMain::BeginTransaction(int captionId, int messageId) { runner_->Begin(captionId, messageId); }

void frmMain::BeginTransaction(const QString& caption, const QString& message) {
  runner_->Begin(caption, message);
}

void frmMain::EndTransaction() { runner_->End(); }

std::filesystem::path frmMain::BackupFolder() const {
  return services_.dataFolder / kBackupFolderName;
}

void frmMain::cmdGet_Click() {
  if (Busy() || uclTZ7100_.TaskRunning()) return;
  if (!ConfirmDiscardEdits()) return;
  // A read whose backup could not be kept is not started.
  const std::string folderProblem = BackupFolderProblem(BackupFolder());
  if (!folderProblem.empty()) {
    AppendMessage(msg::kBackupFolderUnusable, info_colour::kFailure,
                  {BackupFolder().string(), folderProblem});
    return;
  }
  BeginTransaction(msg::kDownloadCaption, msg::kNowDownloading);
  AppendMessage(msg::kDownloadStarted, info_colour::kProgress);
  Transaction read = services_.readInstrument(uclTZ7100_, curInstrument_);
  // The result is shown from the event loop, not from inside the link's
  // reception or tick that ended the transaction.
  const bool started = runner_->Start(std::move(read), [this](bool ok) { GetFinished(ok); });
  if (!started) EndTransaction();
}

void frmMain::GetFinished(bool ok) {
  ops::FinishRead(ok, uclTZ7100_, Sink(), curInstrument_, {BackupFolder(), {}}, outcome_);
  const DateTime finished = outcome_.finished;
  const std::string now = FormatGeneralDate(finished);
  if (!ok) {
    if (!outcome_.interrupted) {
      AppendInfo(ToQString("The read stopped at " + outcome_.failedAt), info_colour::kFailure);
      AppendMessage(msg::kDownloadFailed, info_colour::kFailure);
      AddLog(msg::kDownloadFailLineLog);
    } else {
      AppendMessage(msg::kCommunicationCanceled, info_colour::kFailure);
      AddLog(msg::kProcessCanceledLog, {now});
    }
  } else {
    ReportBackupOutcome(outcome_);
    CopyInstrument(editInstrument_, curInstrument_, false);
    instrumentRead_ = true;
    editInstrument_.ClearChangeFlags();
    FillAllGrids();
    ShowReadSettingsLive();
    identity_ = std::string(report::kInstrumentModel) + " S/N " + history::SerialText(curInstrument_.SerialNo());
    identityLive_ = true;
    ShowIdentity();
    AppendMessage(msg::kDownloadComplete, info_colour::kProgress);
    AddLog(msg::kDownloadFinishedLog,
           {now, FormatElapsed(SecondsBetween(runner_->Started(), finished))});
  }
  ReportRecording(outcome_);
  EndTransaction();
  emit TransactionFinished(ok);
}

void frmMain::ReportBackupOutcome(const ops::OperationOutcome& outcome) {
  if (outcome.backupError.empty()) {
    ReportBackup(outcome.backupPath);
  } else if (outcome.backupPath.empty()) {
    AppendMessage(msg::kBackupNamesTaken, info_colour::kFailure, {BackupFolder().string()});
  } else {
    AppendMessage(msg::kBackupNotWritten, info_colour::kFailure, {outcome.backupPath, outcome.backupError});
  }
}

}  // namespace kv
