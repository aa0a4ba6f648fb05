#include "ops/history_sink.h"

#include <utility>

#include "history/history_event.h"

namespace kv::ops {

HistorySink::HistorySink(history::Recorder* recorder, std::string user)
    : recorder_(recorder), user_(std::move(user)) {}

void HistorySink::Remember(const clsInstrument& record) {
  serial_ = history::SerialText(record.SerialNo());
  if (serial_.empty()) serial_ = blankSerial_;
  model_ = history::ModelText(record.SpecType());
}

void HistorySink::Forget() {
  serial_.clear();
  model_.clear();
}

void HistorySink::Finished(OperationOutcome& outcome) {
  if (outcome.serial.empty()) {
    outcome.serial = serial_;
    outcome.model = model_;
  }
  if (recorder_ == nullptr) return;
  outcome.history = recorder_->Record(EventOf(outcome, user_));
}

history::Event EventOf(const OperationOutcome& outcome, const std::string& user) {
  history::Event event;
  event.serial = outcome.serial;
  event.model = outcome.model;
  event.time = history::EventTime(outcome.finished);
  event.user = user;
  event.operation = outcome.operation;
  event.result = outcome.ResultText();
  event.detail = outcome.detail;
  history::NoteIfSerialUnknown(event);
  event.file = outcome.file;
  event.snapshot = outcome.snapshot;
  return event;
}

}  // namespace kv::ops
