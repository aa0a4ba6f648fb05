// The main window's entries in the instrument history: every operation
// records through one sink (ops/history_sink.h), the service menu's too;
// the instrument of a selected file, where the history knows its content.
#include <QFile>
#include <QLabel>
#include <QStatusBar>

#include "app/file_identity.h"
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "history/history_event.h"
#include "historydb/history_factory.h"
#include "qtedge/latin1.h"
#include "report/content_identity.h"

namespace kv {

void ShowFileIdentity(QStatusBar& bar, const QString& text) {
  auto* label = bar.findChild<QLabel*>(QStringLiteral("lblFileIdentity"));
  if (label == nullptr) {
    label = new QLabel(&bar);
    label->setObjectName(QStringLiteral("lblFileIdentity"));
    bar.addPermanentWidget(label);
  }
  label->setText(text);
}

DateTime frmMain::Now() const { return services_.clock->Now(); }

void frmMain::IdentifyLoadedFile(const QString& path) {
  QFile file(path);
  std::string error = "the file cannot be read again";
  std::optional<report::ContentIdentity> identity;
  if (file.open(QIODevice::ReadOnly)) {
    const QByteArray bytes = file.read(std::int64_t{1} << 20);
    error.clear();
    if (history::Store* store = HistoryStore(&error)) {
      identity = report::IdentifyByContent(*store, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &error);
    } else if (error.empty()) {
      error = "the history is switched off";
    }
  }
  // A report of the file names the instrument the history knows, as one of a
  // history snapshot does; else the instrument read in this session, if any
  // (never one an earlier file was matched to).
  const bool known = identity && error.empty() && identity->read;
  editInstrument_.StoreSerialNo(known ? identity->read->serial : curInstrument_.SerialNo());
  if (!identity || !error.empty()) {
    ShowFileIdentity(*statusBar(), ToQString("File: the serial number is not in the file (" + error + ")"));
    return;
  }
  ShowFileIdentity(*statusBar(), ToQString("File: " + report::IdentityText(*identity)));
}

history::Store* frmMain::HistoryStore(std::string* error) {
  if (!history_) {
    history::ChosenHistory chosen = history::ChooseHistoryStore(std::nullopt, services_.dataFolder);
    if (!chosen.store) {
      *error = chosen.error;
      return nullptr;
    }
    history_ = std::move(chosen.store);
  }
  return history_.get();
}

ops::HistorySink& frmMain::Sink() {
  historyError_.clear();
  history::Recorder* recorder = services_.recorder;
  if (recorder == nullptr) recorder = HistoryStore(&historyError_);
  historySink_.SetRecorder(recorder);
  return historySink_;
}

void frmMain::ReportRecording(const ops::OperationOutcome& outcome) {
  if (!historySink_.Active()) {
    // Recording that is switched off is not a failure to report.
    if (!historyError_.empty()) {
      AppendInfo(ToQString("history not recorded: " + historyError_), info_colour::kFailure);
    }
    return;
  }
  if (!outcome.history.recorded) {
    AppendInfo(ToQString(history::NotRecordedText(outcome.history)), info_colour::kFailure);
  }
}

void frmMain::RecordServiceHistory(const char* operation, bool ok, std::string detail,
                                   std::string file) {
  ops::OperationOutcome outcome;
  outcome.operation = operation;
  outcome.done = ok;
  outcome.detail = std::move(detail);
  outcome.file = std::move(file);
  outcome.finished = services_.clock->Now();
  Sink().Finished(outcome);
  ReportRecording(outcome);
}

}  // namespace kv
