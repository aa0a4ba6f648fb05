#pragma once
// Recording that never waits for a database. Record hands the event to the
// recorder's writer thread, which writes it to the local history (an SQLite
// file beside the program's data); a forwarder thread then copies what the
// local history holds and the shared history (a server) does not, in order,
// by uid, so a copy that is repeated after a failure is kept once. A busy
// local file is waited for on the writer thread; a server that is away, hung
// or restarted is tried again on the forwarder thread while the events wait
// in the local history. Plain C++: the stores come from factories that run on
// these threads, as SQL connections that belong to one thread require.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "history/history_store.h"

namespace kv::history {

using StoreFactory = std::function<std::unique_ptr<Store>()>;
// Says an event was not recorded (called on the thread that ends the recorder).
using NotRecordedReport = std::function<void(const std::string&)>;

struct ForwardingOptions {
  // How long Record waits for the local write before it returns with the
  // event queued: a healthy local file answers well within it.
  std::chrono::milliseconds recordWait{50};
  // How long the first event waits for the local file to open (a healthy or
  // a missing one answers at once; a locked one is not waited for to the end).
  std::chrono::milliseconds openWait{250};
  // How long the end of the program waits for the local writes (never for the server).
  std::chrono::milliseconds shutdownWait{1000};
  // Where the end of a run keeps the events its busy (locked) local file did
  // not take, for the next run to write (history/event_spool.h); the end
  // then does not wait for the lock. "" keeps nothing: the end waits.
  std::string spoolFolder;
  // Waits between tries: a busy local file, and the server (doubling up to the longest).
  std::chrono::milliseconds localRetry{100};
  std::chrono::milliseconds serverRetryFirst{250};
  std::chrono::milliseconds serverRetryLongest{5000};
  std::size_t forwardBatch = 100;
};

class StoreAndForward final : public Recorder {
 public:
  // `remote` may be empty: the events then stay in the local history. Both
  // threads start at once, so the local file is open before the first event.
  StoreAndForward(StoreFactory local, StoreFactory remote, ForwardingOptions options = {},
                  NotRecordedReport report = {});
  // Waits at most `shutdownWait` for the local writes (not at all once the
  // local file is found locked, with a spool folder), ends a server statement
  // in progress, keeps what is left in the spool folder, and reports each
  // event that could not be written.
  ~StoreAndForward() override;
  StoreAndForward(const StoreAndForward&) = delete;
  StoreAndForward& operator=(const StoreAndForward&) = delete;

  // Returns once the event is written locally, or after `recordWait` with the
  // event queued (`queued`), or with the reason a local history that cannot
  // be used gives (nothing is queued then). Only the first event of a run
  // may wait longer: for the local file to be opened (at most `openWait`).
  RecordOutcome Record(const Event& event) override;

  // True once every event is written locally and, with a server, forwarded;
  // false when `limit` passed first.
  bool WaitUntilForwarded(std::chrono::milliseconds limit);

 private:
  struct State;
  std::shared_ptr<State> state_;  // shared with the threads: a forwarder may outlive the recorder
  NotRecordedReport report_;
  std::thread writer_;
  std::thread forwarder_;
};

}  // namespace kv::history
