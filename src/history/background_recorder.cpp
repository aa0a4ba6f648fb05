#include "history/background_recorder.h"

#include <utility>

namespace kv::history {

BackgroundRecorder::BackgroundRecorder(std::unique_ptr<Store> store)
    : store_(std::move(store)), thread_([this] { Work(); }) {}

BackgroundRecorder::~BackgroundRecorder() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

RecordOutcome BackgroundRecorder::Record(const Event& event) {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return pending_ == nullptr; });
  pending_ = &event;
  outcome_.reset();
  wake_.notify_all();
  wake_.wait(lock, [this] { return outcome_.has_value(); });
  RecordOutcome outcome = std::move(*outcome_);
  outcome_.reset();
  pending_ = nullptr;
  wake_.notify_all();
  return outcome;
}

void BackgroundRecorder::Work() {
  std::string prepareError;
  const bool prepared = store_->Prepare(&prepareError);
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || (pending_ != nullptr && !outcome_); });
    if (stopping_) break;
    const Event& event = *pending_;
    lock.unlock();
    RecordOutcome outcome;
    if (prepared) {
      outcome = store_->Record(event);
    } else {
      outcome.error = prepareError;
    }
    lock.lock();
    outcome_ = std::move(outcome);
    wake_.notify_all();
  }
  lock.unlock();
  store_.reset();
}

}  // namespace kv::history
