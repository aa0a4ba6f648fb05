#pragma once
// The one place an operation's outcome becomes a history event, for the
// window, kvmaint and station mode alike: recorded once when the operation
// has finished, at the time of the link's clock, under the instrument the
// operation read or, for an operation that reads nothing, the one the
// session read last (nothing extra is asked of the instrument for it).
// The recorder may record later on a thread of its own; its answer is kept
// in the outcome.
#include <string>

#include "history/history_store.h"
#include "model/instrument.h"
#include "ops/outcome.h"

namespace kv::ops {

class HistorySink {
 public:
  // `recorder` may be null: recording is off.
  HistorySink(history::Recorder* recorder, std::string user);

  void SetRecorder(history::Recorder* recorder) { recorder_ = recorder; }
  bool Active() const { return recorder_ != nullptr; }
  history::Recorder* Recorder() const { return recorder_; }

  // The instrument a read identified; later operations are recorded under it.
  void Remember(const clsInstrument& record);
  // The instrument is gone (switched off): its successor is not known yet.
  void Forget();
  const std::string& Serial() const { return serial_; }
  // What an instrument that reports no serial number is recorded under
  // (default: nothing, and the event says the serial was not read).
  void SetBlankSerial(std::string text) { blankSerial_ = std::move(text); }

  // Fills the outcome's identity where it has none, records its event and
  // keeps the recorder's answer in `outcome.history`.
  void Finished(OperationOutcome& outcome);

 private:
  history::Recorder* recorder_;
  std::string user_;
  std::string serial_;
  std::string model_;
  std::string blankSerial_;
};

// The event an outcome is recorded as (its identity filled in).
history::Event EventOf(const OperationOutcome& outcome, const std::string& user);

}  // namespace kv::ops
