#pragma once
// The recorder of one program run over the store ChooseHistoryStore made: the
// store is started at once (its local file opens and its server connects in
// the background while the instrument talks), and each event is handed to it.
// Such a store records on a thread of its own (history/store_and_forward.h),
// so Record never waits for a database; its end waits briefly for the local
// writes and reports an event it could not write.
#include <memory>

#include "history/history_store.h"

namespace kv::history {

class BackgroundRecorder final : public Recorder {
 public:
  explicit BackgroundRecorder(std::unique_ptr<Store> store);
  ~BackgroundRecorder() override;
  BackgroundRecorder(const BackgroundRecorder&) = delete;
  BackgroundRecorder& operator=(const BackgroundRecorder&) = delete;

  RecordOutcome Record(const Event& event) override;

 private:
  std::unique_ptr<Store> store_;
};

}  // namespace kv::history
