// The main window's entries in the instrument history: each Get and Transmit,
// with the settings read or sent.
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "history/history_event.h"
#include "historydb/history_factory.h"
#include "historydb/snapshot.h"
#include "qtedge/latin1.h"

namespace kv {

void frmMain::RecordHistory(const clsInstrument& record, const char* operation, bool ok,
                            std::string detail, std::string file) {
  if (!history_) {
    history::ChosenHistory chosen = history::ChooseHistoryStore(std::nullopt, services_.dataFolder);
    if (!chosen.error.empty()) AppendInfo(ToQString("history not recorded: " + chosen.error), info_colour::kFailure);
    if (!chosen.store) return;
    history_ = std::move(chosen.store);
  }
  history::Event event = history::EventFor(record, operation);
  if (!ok) event.result = "failed";
  event.detail = std::move(detail);
  history::NoteIfSerialUnknown(event);
  event.file = std::move(file);
  if (ok) event.snapshot = history::SnapshotOf(record);
  const history::RecordOutcome outcome = history_->Record(event);
  if (!outcome.recorded) AppendInfo(ToQString(history::NotRecordedText(outcome)), info_colour::kFailure);
}

}  // namespace kv
