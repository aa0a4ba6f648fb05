#pragma once
// A store prepared on a thread of its own while the instrument talks, then
// used on that same thread for the operation's records: a database server's
// connection and schema check overlap the exchange instead of following it.
// Every call on the store runs on the one thread, as SQL connections that
// belong to their thread require.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "history/history_store.h"

namespace kv::history {

class BackgroundRecorder final : public Recorder {
 public:
  // Starts the thread, which prepares `store` at once.
  explicit BackgroundRecorder(std::unique_ptr<Store> store);
  // Ends the thread; the store is closed and destroyed on it.
  ~BackgroundRecorder() override;
  BackgroundRecorder(const BackgroundRecorder&) = delete;
  BackgroundRecorder& operator=(const BackgroundRecorder&) = delete;

  // Waits for the preparation, then records on the thread. A store that
  // could not be prepared is not tried again: its error is the outcome.
  RecordOutcome Record(const Event& event) override;

 private:
  void Work();

  std::unique_ptr<Store> store_;
  std::mutex mutex_;
  std::condition_variable wake_;
  const Event* pending_ = nullptr;       // handed to the thread by Record
  std::optional<RecordOutcome> outcome_;  // handed back by the thread
  bool stopping_ = false;
  std::thread thread_;  // last: it starts once the members above exist
};

}  // namespace kv::history
