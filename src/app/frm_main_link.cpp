// frmMain: the link's events, the button states and the Get action.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <system_error>

#include "app/app_messages.h"
#include "app/frm_main.h"
#include "app/frm_live.h"
#include "app/info_pane.h"
#include "app/upload_dialog.h"
#include "common/messages.h"
#include "files/backup_name.h"
#include "files/file_sink.h"
#include "files/kvd_writer.h"
#include "link/command_subjects.h"
#include "model/instrument_settings.h"
#include "qtedge/latin1.h"

namespace kv {

// ---- link events -------------------------------------------------------------

void frmMain::OnConnect() {
  if (!uclTZ7100_.Connected()) return;
  AppendMessage(msg::kConnectionSuccessful, info_colour::kConnected);
  SetButtons(true, 0);
}

void frmMain::ConnectRetry(int count) {
  AppendMessage(msg::kConnectRetry, info_colour::kProgress, {std::to_string(count)});
}

void frmMain::InstMessage(const std::string& text) { AppendInfo(ToQString(text), info_colour::kRelayed); }

void frmMain::InterMessage(const std::string& text) {
  AppendInfo(ToQString(text), info_colour::kRelayed);
}

void frmMain::AlarmMessage(const std::string& text) {
  AppendInfo(ToQString(text), info_colour::kRelayed);
}

void frmMain::DumpMessage(const std::string& text) {
  if (upload_ != nullptr) upload_->SetMessage(ToQString(text));
}

void frmMain::LinkLost() {
  if (live_ != nullptr) live_->Stop();
  SetButtons(false, 0);
  ReportLinkLost();
}

void frmMain::Progress(int done, int total) {
  if (upload_ != nullptr) upload_->SetProgress(done, total);
}

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

void frmMain::SetBusy(bool busy) {
  busy_ = busy;
  ApplyButtonStates();
}

void frmMain::ApplyButtonStates() {
  const bool idle = !busy_;
  cmdGet->setEnabled(buttons_.get && idle);
  cmdLoad->setEnabled(buttons_.load && idle);
  cmdSend->setEnabled(buttons_.send && idle);
  cmdPowerOff->setEnabled(buttons_.powerOff && idle);
  cmdEnd->setEnabled(buttons_.end && idle);
  cmdStore->setEnabled(idle);
  txtPath->setEnabled(idle);
  // The Service menu needs a connected instrument, like Get.
  for (QAction* action : serviceActions_) action->setEnabled(buttons_.get && idle);
}

// ---- transactions ----------------------------------------------------------------

void frmMain::BeginTransaction(int captionId, int messageId) {
  BeginTransaction(ToQString(FormatMessage(captionId)), ToQString(FormatMessage(messageId)));
}

void frmMain::BeginTransaction(const QString& caption, const QString& message) {
  if (upload_ == nullptr) {
    upload_ = new frmUpload(this);
    connect(upload_, &frmUpload::CancelRequested, this, [this] { uclTZ7100_.SetCancel(true); });
  }
  upload_->Form_Load();
  upload_->SetCaption(caption);
  upload_->SetMessage(message);
  upload_->show();
  upload_->raise();
  SetBusy(true);
  transactionStart_ = services_.clock->Now();
}

void frmMain::EndTransaction() {
  if (upload_ != nullptr) upload_->hide();
  SetBusy(false);
}

std::filesystem::path frmMain::BackupFolder() const {
  return services_.dataFolder / kBackupFolderName;
}

void frmMain::cmdGet_Click() {
  if (busy_ || uclTZ7100_.TaskRunning()) return;
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
  const bool started = uclTZ7100_.Start(std::move(read), [this](bool ok) {
    QTimer::singleShot(0, this, [this, ok] { GetFinished(ok); });
  });
  if (!started) EndTransaction();
}

void frmMain::GetFinished(bool ok) {
  const DateTime finished = services_.clock->Now();
  const std::string now = FormatGeneralDate(finished);
  if (!ok) {
    if (!uclTZ7100_.Cancel()) {
      AppendInfo(ToQString("The read stopped at " + WhereItStopped(uclTZ7100_, curInstrument_)),
                 info_colour::kFailure);
      AppendMessage(msg::kDownloadFailed, info_colour::kFailure);
      AddLog(msg::kDownloadFailLineLog);
      RecordHistory(curInstrument_, history::kOpRead, false, {}, {});
    } else {
      AppendMessage(msg::kCommunicationCanceled, info_colour::kFailure);
      AddLog(msg::kProcessCanceledLog, {now});
    }
  } else {
    lastBackup_.clear();
    WriteBackup();
    RecordHistory(curInstrument_, history::kOpRead, true, {}, lastBackup_);
    CopyInstrument(editInstrument_, curInstrument_, false);
    instrumentRead_ = true;
    editInstrument_.ClearChangeFlags();
    FillAllGrids();
    ShowReadSettingsLive();
    AppendMessage(msg::kDownloadComplete, info_colour::kProgress);
    AddLog(msg::kDownloadFinishedLog,
           {now, FormatElapsed(SecondsBetween(transactionStart_, finished))});
  }
  EndTransaction();
  emit TransactionFinished(ok);
}

bool frmMain::WriteBackup() {
  const std::filesystem::path folder = BackupFolder();
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  // The name is claimed when the file is complete, so that a second program
  // reading into the same folder at the same time never takes it too.
  AtomicFileSink sink = AtomicFileSink::FirstFreeName(BackupPaths(folder, services_.clock->Now()));
  const KvdWriteResult written = WriteMaintenanceFile(curInstrument_, sink);
  if (sink.AllNamesTaken()) {
    AppendMessage(msg::kBackupNamesTaken, info_colour::kFailure, {folder.string()});
    return false;
  }
  if (!written.ok) {
    AppendMessage(msg::kBackupNotWritten, info_colour::kFailure, {sink.CommittedPath(), written.error});
    return false;
  }
  ReportBackup(sink.CommittedPath());
  lastBackup_ = sink.CommittedPath();
  return true;
}

}  // namespace kv
