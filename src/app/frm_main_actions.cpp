// frmMain: Select Distributed File, Store, Power OFF, and what the window
// says about unsent edits and a lost link.
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

#include "app/app_messages.h"
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "app/transaction_runner.h"
#include "common/messages.h"
#include "files/kvd_writer.h"
#include "model/instrument_settings.h"

namespace kv {
namespace {

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString Message(int id, const std::vector<std::string>& args = {}) {
  return Latin1(FormatMessage(id, args));
}

bool AnyChangeFlag(const clsInstrument& record) {
  for (const SettingInfo& info : AllSettings()) {
    if (info.changed == nullptr) continue;
    for (int index = 0; index < info.count; ++index) {
      if (info.changed(record, index)) return true;
    }
  }
  return false;
}

}  // namespace

// ---- Select ------------------------------------------------------------------

void frmMain::cmdLoad_Click() {
  if (Busy()) return;
  const QString name = services_.dialogs->OpenFile(MaintenanceFileFilter());
  if (name.isEmpty()) return;
  txtPath->setText(name);
  loadedPath_.clear();
  SetButtons(true, 2);
  txtPath_LostFocus();
  cmdSend->setFocus();
}

void frmMain::txtPath_LostFocus() {
  const QString name = txtPath->text();
  // The same path again reloads it: the file may have changed since.
  if (name.isEmpty()) return;
  if (!QFileInfo(name).isFile()) {
    services_.dialogs->Show(Dialogs::Icon::None, windowTitle(),
                            QStringLiteral("Not Found !! ( ") + name + QStringLiteral(" )"));
    return;
  }
  loadedPath_ = name;
  lastLoad_ = ReadMaintenanceFile(editInstrument_, name.toStdString());
  fileAsLoaded_ = editInstrument_;
  fileLoaded_ = true;
  recordShown_ = true;
  FillAllGrids();
  IdentifyLoadedFile(name);
  if (!lastLoad_.complete) {
    AppendMessage(msg::kFileReadInPart, info_colour::kFailure,
                  {name.toStdString(), std::to_string(lastLoad_.stoppedAtLine), lastLoad_.reason});
  }
}

// ---- Store -------------------------------------------------------------------

void frmMain::cmdStore_Click() {
  if (Busy()) return;
  const QString name = services_.dialogs->SaveFile(MaintenanceFileFilter());
  if (name.isEmpty()) {
    AppendMessage(msg::kStoreCancelled, info_colour::kFailure);
    return;
  }
  StoreGrids();
  clsInstrument toStore = curInstrument_;
  CopyInstrument(toStore, editInstrument_, true);
  if (!RecordWritable(toStore, msg::kNotStored)) return;
  curInstrument_ = toStore;
  // Written beside the target and renamed over it when complete; a record
  // the reader would not read back is refused, and nothing is written.
  const KvdWriteResult written = WriteMaintenanceFile(curInstrument_, name.toStdString());
  if (!written.ok) {
    AppendInfo(Latin1(written.error), info_colour::kFailure);
    services_.dialogs->Critical(windowTitle(), Latin1(written.error));
    return;
  }
  services_.dialogs->Show(Dialogs::Icon::None, windowTitle(), QStringLiteral("Stored."));
}

// ---- Power OFF -----------------------------------------------------------------

void frmMain::cmdPowerOff_Click() {
  if (Busy() || uclTZ7100_.TaskRunning()) return;
  if (!services_.dialogs->Question(QStringLiteral("KORVIN Maintenance Data Loader"),
                                   QStringLiteral("POWER OFF ?"))) {
    return;
  }
  SetEndButton(false);
  SetBusy(true);
  Transaction powerOff = ops::RunPowerOff(uclTZ7100_, Sink(), outcome_);
  const bool started = runner_->Start(std::move(powerOff), [this](bool) { PowerOffFinished(); });
  if (!started) {
    // Nothing was sent: the instrument is on as it was.
    SetBusy(false);
    AppendMessage(msg::kPowerOffRefused, info_colour::kFailure);
    SetEndButton(true);
  }
}

void frmMain::PowerOffFinished() {
  const bool acknowledged = outcome_.done;
  SetBusy(false);
  ReportRecording(outcome_);
  // An instrument may switch off before it answers: unacknowledged, the
  // window still starts over, and says the answer did not come.
  if (acknowledged) {
    AppendInfo(QStringLiteral("POWER OFF "), info_colour::kProgress);
  } else {
    AppendMessage(msg::kPowerOffRefused, info_colour::kFailure);
  }
  if (!fileLoaded_) beforePowerOff_ = editInstrument_;
  curInstrument_.SetCommFlags(0);
  curInstrument_.ClearDatas();
  instrumentRead_ = false;
  uclTZ7100_.Reset();
  activated_ = false;
  recordShown_ = false;
  identityLive_ = false;
  ShowIdentity();
  SetButtons(false, 0);
  Form_Activate();
  loadedPath_.clear();
  fileLoaded_ = false;
  // The power-off closed the port either way; the link connects anew.
  SelectPort();
  SetEndButton(true);
  emit TransactionFinished(acknowledged);
}

// ---- Get over edits, a lost link ------------------------------------------------

bool frmMain::HasUnsentEdits() {
  StoreGrids();
  return AnyChangeFlag(editInstrument_);
}

QString frmMain::ExitQuestion() {
  StoreGrids();
  const std::size_t unsent = PendingChanges(curInstrument_, editInstrument_).size();
  if (unsent == 0) return QStringLiteral("EXIT ?");
  const QString edits = unsent == 1 ? tr("1 edit") : tr("%1 edits").arg(unsent);
  return edits + tr(" not transmitted. EXIT ?");
}

bool frmMain::ConfirmDiscardEdits() {
  if (!HasUnsentEdits()) return true;
  return services_.dialogs->Question(Message(msg::kDownloadCaption), Message(msg::kDiscardEdits));
}

void frmMain::ReportBackup(const std::string& path) {
  const std::string text = FormatMessage(msg::kBackupWritten, {path});
  statusBar()->showMessage(Latin1(text));
  uclTZ7100_.AddLog(text);
}

void frmMain::ShowReadSettingsLive() {
  recordShown_ = true;
  lblNotLive->setVisible(false);
  loadedPath_.clear();
  fileLoaded_ = false;
  SetButtons(true, 1);
}

void frmMain::ReportLinkLost() {
  AppendMessage(msg::kLinkLostNotLive, info_colour::kFailure);
  lblNotLive->setVisible(true);
}

}  // namespace kv
