#include "history/background_recorder.h"

#include <utility>

namespace kv::history {

BackgroundRecorder::BackgroundRecorder(std::unique_ptr<Store> store) : store_(std::move(store)) {
  std::string ignored;  // a store that cannot be prepared says why with each record
  store_->Prepare(&ignored);
}

BackgroundRecorder::~BackgroundRecorder() = default;

RecordOutcome BackgroundRecorder::Record(const Event& event) { return store_->Record(event); }

}  // namespace kv::history
