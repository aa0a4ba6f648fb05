#include "history/store_and_forward.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "history/event_spool.h"
#include "history/history_event.h"

namespace kv::history {

using Clock = std::chrono::steady_clock;

struct StoreAndForward::State {
  ForwardingOptions options;
  StoreFactory makeLocal;
  StoreFactory makeRemote;

  std::mutex mutex;
  std::condition_variable changed;
  struct Entry {
    Event event;
    std::uint64_t number = 0;  // 0: no Record call waits for it
    std::string spooledAt;     // its file, when an earlier run kept it
  };
  std::deque<Entry> queue;  // not yet written locally, oldest first
  std::uint64_t nextNumber = 1;
  // The outcome of each event a Record call still waits for.
  std::map<std::uint64_t, std::optional<RecordOutcome>> awaited;
  std::string localError;              // why the head of the queue waits
  std::vector<std::string> lateErrors;  // events dropped after their Record returned
  bool stopping = false;
  bool localOpened = false;  // the writer's first preparation has ended

  std::uint64_t written = 0;       // local writes so far
  std::uint64_t settled = 0;       // `written` when the forwarder last found nothing left
  bool forwardWanted = true;       // forward what earlier runs left as well
  bool forwarding = false;         // a batch is on its way
  Store* remote = nullptr;         // the forwarder's server store, while it has one
  bool forwarderDone = false;

  // Hands `outcome` to a Record call waiting for event `number`.
  void Decide(std::uint64_t number, RecordOutcome outcome) {
    if (auto waiting = awaited.find(number); waiting != awaited.end()) waiting->second = std::move(outcome);
  }

  void WriteLoop();
  void ForwardLoop();
  // One batch of pending events copied to the server; false after a failure.
  bool ForwardBatch(Store& local, Store& server, bool* more);
};

namespace {

std::string EventName(const Event& event) {
  return event.operation + " of " + (event.serial.empty() ? std::string("an unknown serial number") : event.serial) +
         " at " + event.time;
}

void PrintToStderr(const std::string& text) {
  std::fputs((text + "\n").c_str(), stderr);
}

}  // namespace

void StoreAndForward::State::WriteLoop() {
  std::unique_ptr<Store> local = makeLocal();
  std::string ignored;
  local->Prepare(&ignored);  // early, so the first event finds the file open
  std::vector<SpooledEvent> spooled;
  if (!options.spoolFolder.empty()) spooled = SpooledEvents(options.spoolFolder);
  std::unique_lock lock(mutex);
  for (auto kept = spooled.rbegin(); kept != spooled.rend(); ++kept) {  // before this run's events
    queue.push_front(Entry{std::move(kept->event), 0, std::move(kept->path)});
  }
  localOpened = true;
  changed.notify_all();
  for (;;) {
    changed.wait(lock, [this] { return stopping || !queue.empty(); });
    if (queue.empty()) break;  // stopping, with nothing left to write
    const Entry entry = queue.front();
    lock.unlock();
    RecordOutcome outcome = local->Record(entry.event);
    lock.lock();
    if (outcome.recorded || !outcome.retry) {
      queue.pop_front();
      if (outcome.recorded) {
        ++written;
        forwardWanted = true;
        localError.clear();
        if (!entry.spooledAt.empty()) std::remove(entry.spooledAt.c_str());
      } else if (!entry.spooledAt.empty()) {
        // Stays kept for a run whose history can take it.
      } else if (awaited.count(entry.number) == 0) {
        lateErrors.push_back(NotRecordedText(outcome) + " (" + EventName(entry.event) + ")");
      }
      Decide(entry.number, std::move(outcome));
      changed.notify_all();
      continue;
    }
    // Busy: the event stays first in line and is tried again.
    localError = outcome.error;
    Decide(entry.number, RecordOutcome{true, 0, {}, false, true});
    changed.notify_all();
    if (stopping) break;
    changed.wait_for(lock, options.localRetry, [this] { return stopping; });
    if (stopping) break;
  }
  lock.unlock();
  local.reset();
}

bool StoreAndForward::State::ForwardBatch(Store& local, Store& server, bool* more) {
  std::string error;
  const std::vector<Event> pending = local.PendingEvents(options.forwardBatch, &error);
  if (!error.empty()) return false;
  std::vector<std::string> forwarded;
  bool ok = true;
  for (const Event& event : pending) {
    if (!server.Record(event).recorded) {
      ok = false;
      break;
    }
    forwarded.push_back(event.uid);
  }
  // Noted even after a failure part way: those are on the server already
  // (and a copy repeated because this note failed is kept once there).
  if (!forwarded.empty() && !local.MarkForwarded(forwarded, &error)) ok = false;
  *more = ok && pending.size() == options.forwardBatch;
  return ok;
}

void StoreAndForward::State::ForwardLoop() {
  std::unique_ptr<Store> local;
  std::unique_ptr<Store> server;
  auto wait = options.serverRetryFirst;
  std::unique_lock lock(mutex);
  while (!stopping) {
    changed.wait(lock, [this] { return stopping || forwardWanted; });
    if (stopping) break;
    forwardWanted = false;
    forwarding = true;
    const std::uint64_t writtenBefore = written;
    lock.unlock();
    if (!local) local = makeLocal();
    if (!server) {
      server = makeRemote();
      lock.lock();
      remote = server.get();
      lock.unlock();
    }
    bool more = false;
    const bool ok = ForwardBatch(*local, *server, &more);
    lock.lock();
    forwarding = false;
    if (ok) {
      wait = options.serverRetryFirst;
      if (more) {
        forwardWanted = true;
      } else {
        settled = writtenBefore;
      }
      changed.notify_all();
      continue;
    }
    forwardWanted = true;  // still owed: never seen as settled while waiting to try again
    changed.wait_for(lock, wait, [this] { return stopping; });
    wait = std::min(wait * 2, options.serverRetryLongest);
  }
  remote = nullptr;
  lock.unlock();
  server.reset();
  local.reset();
  lock.lock();
  forwarderDone = true;
  changed.notify_all();
}

StoreAndForward::StoreAndForward(StoreFactory local, StoreFactory remote, ForwardingOptions options,
                                 NotRecordedReport report)
    : state_(std::make_shared<State>()) {
  state_->options = options;
  state_->makeLocal = std::move(local);
  state_->makeRemote = std::move(remote);
  report_ = report ? std::move(report) : NotRecordedReport(PrintToStderr);
  writer_ = std::thread([state = state_] { state->WriteLoop(); });
  if (state_->makeRemote) {
    forwarder_ = std::thread([state = state_] { state->ForwardLoop(); });
  } else {
    state_->forwarderDone = true;
  }
}

StoreAndForward::~StoreAndForward() {
  State& state = *state_;
  std::unique_lock lock(state.mutex);
  const bool spooling = !state.options.spoolFolder.empty();
  state.changed.wait_for(lock, state.options.shutdownWait,
                         [&] { return state.queue.empty() || (spooling && !state.localError.empty()); });
  state.stopping = true;
  if (state.remote != nullptr) state.remote->Interrupt();
  state.changed.notify_all();
  lock.unlock();
  writer_.join();
  lock.lock();
  std::vector<std::string> lost = std::move(state.lateErrors);
  const std::string why =
      state.localError.empty() ? std::string("the history database did not answer in time") : state.localError;
  for (const State::Entry& entry : state.queue) {
    if (!entry.spooledAt.empty()) continue;  // still kept from an earlier run
    std::string spoolError;
    if (spooling && SpoolEvent(state.options.spoolFolder, entry.event, &spoolError)) {
      lost.push_back("history not recorded yet: " + why + "; kept in " + state.options.spoolFolder +
                     " for the next run to record (" + EventName(entry.event) + ")");
      continue;
    }
    lost.push_back("history not recorded: " + why + (spoolError.empty() ? "" : "; " + spoolError) + " (" +
                   EventName(entry.event) + ")");
  }
  // A server connection still being made is not waited for: the thread ends
  // on its own once the connection attempt times out.
  if (forwarder_.joinable()) {
    if (state.changed.wait_for(lock, std::chrono::milliseconds(200), [&] { return state.forwarderDone; })) {
      lock.unlock();
      forwarder_.join();
    } else {
      lock.unlock();
      forwarder_.detach();
    }
  }
  for (const std::string& text : lost) report_(text);
}

RecordOutcome StoreAndForward::Record(const Event& event) {
  State& state = *state_;
  State::Entry entry{event, 0, {}};
  if (entry.event.uid.empty()) entry.event.uid = NewEventUid();
  std::unique_lock lock(state.mutex);
  const std::uint64_t number = state.nextNumber++;
  entry.number = number;
  state.queue.push_back(std::move(entry));
  state.awaited[number];
  state.changed.notify_all();
  // The first event of a run waits for the file to open (a missing folder or
  // a file that is no database is then said here); a busy file is not
  // waited for longer than its one try.
  state.changed.wait_for(lock, state.options.openWait,
                         [&] { return state.localOpened || state.awaited[number].has_value(); });
  state.changed.wait_for(lock, state.options.recordWait, [&] { return state.awaited[number].has_value(); });
  std::optional<RecordOutcome> outcome = std::move(state.awaited[number]);
  state.awaited.erase(number);
  if (outcome) return std::move(*outcome);
  return RecordOutcome{true, 0, {}, false, true};
}

bool StoreAndForward::WaitUntilForwarded(std::chrono::milliseconds limit) {
  State& state = *state_;
  std::unique_lock lock(state.mutex);
  return state.changed.wait_for(lock, limit, [&] {
    if (!state.localOpened || !state.queue.empty()) return false;
    return !state.makeRemote || (!state.forwardWanted && !state.forwarding && state.settled == state.written);
  });
}

}  // namespace kv::history
