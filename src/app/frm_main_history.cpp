// The main window's entries in the instrument history: each Get and Transmit,
// with the settings read or sent.
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "history/history_event.h"
#include "historydb/history_factory.h"
#include "historydb/snapshot.h"
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

void frmMain::RecordHistory(const clsInstrument& record, const char* operation, bool ok,
                            std::string detail, std::string file) {
  RecordEvent(record, operation, ok, std::move(detail), std::move(file), ok);
}

void frmMain::RecordServiceHistory(const char* operation, bool ok, std::string detail,
                                   std::string file) {
  // The identity is that of the latest Get; a service operation reads no settings.
  RecordEvent(curInstrument_, operation, ok, std::move(detail), std::move(file), false);
}

void frmMain::RecordEvent(const clsInstrument& record, const char* operation, bool ok,
                          std::string detail, std::string file, bool withSnapshot) {
  std::string error;
  if (HistoryStore(&error) == nullptr) {
    // Recording that is switched off is not a failure to report.
    if (!error.empty()) AppendInfo(ToQString("history not recorded: " + error), info_colour::kFailure);
    return;
  }
  history::Event event = history::EventFor(record, operation);
  if (!ok) event.result = "failed";
  event.detail = std::move(detail);
  history::NoteIfSerialUnknown(event);
  event.file = std::move(file);
  if (withSnapshot) event.snapshot = history::SnapshotOf(record);
  const history::RecordOutcome outcome = history_->Record(event);
  if (!outcome.recorded) AppendInfo(ToQString(history::NotRecordedText(outcome)), info_colour::kFailure);
}

}  // namespace kv
