// The main window's entries in the instrument history: every operation
// records through one sink (ops/history_sink.h), the service menu's too.
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "history/history_event.h"
#include "historydb/history_factory.h"
#include "qtedge/latin1.h"

namespace kv {

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
