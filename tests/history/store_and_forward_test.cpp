// The store-and-forward recorder on stores in memory that misbehave on cue:
// Record returns at once whatever the local file or the server does, a busy
// local file is waited for on the recorder's thread, events wait for the
// server and go once, in order, and the end of the program is never held up
// by the server and only briefly by the local file.
#include <gmock/gmock.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "history/event_spool.h"
#include "history/store_and_forward.h"
#include "support/temp_folder.h"

namespace kv::history::testing {
namespace {

using std::chrono::milliseconds;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using SteadyClock = std::chrono::steady_clock;

constexpr milliseconds kRecordWait{50};
constexpr milliseconds kShutdownWait{400};
// What a call may take beyond its own bound on a loaded machine.
constexpr milliseconds kSlack{150};

// The local history: events with a forwarded mark; its writes can be made busy
// (another program holds the file) or fail for good.
struct LocalState {
  std::mutex mutex;
  std::vector<Event> events;
  std::set<std::string> forwarded;
  std::vector<std::thread::id> threads;  // of every call
  std::atomic<bool> busy{false};
  std::string refusal;  // when set, every write fails for good with it
  std::atomic<int> writes{0};
};

class LocalStore final : public Store {
 public:
  explicit LocalStore(LocalState& state) : state_(state) {}
  RecordOutcome Record(const Event& event) override {
    const std::lock_guard lock(state_.mutex);
    state_.threads.push_back(std::this_thread::get_id());
    ++state_.writes;
    if (!state_.refusal.empty()) return {false, 0, state_.refusal, false, false};
    if (state_.busy) return {false, 0, "cannot record: database is locked", true, false};
    state_.events.push_back(event);
    return {true, static_cast<std::int64_t>(state_.events.size()), {}, false, false};
  }
  std::vector<Event> PendingEvents(std::size_t limit, std::string* error) override {
    const std::lock_guard lock(state_.mutex);
    if (state_.busy) {
      *error = "database is locked";
      return {};
    }
    std::vector<Event> pending;
    for (const Event& event : state_.events) {
      if (pending.size() < limit && state_.forwarded.count(event.uid) == 0) pending.push_back(event);
    }
    return pending;
  }
  bool MarkForwarded(const std::vector<std::string>& uids, std::string*) override {
    const std::lock_guard lock(state_.mutex);
    state_.forwarded.insert(uids.begin(), uids.end());
    return true;
  }
  std::vector<InstrumentSummary> Instruments(std::string*) override { return {}; }
  std::vector<Event> Events(const std::optional<std::string>&, std::string*) override { return {}; }
  std::optional<Event> EventById(std::int64_t, std::string*) override { return std::nullopt; }

 private:
  LocalState& state_;
};

// The shared history: keeps an event once per uid, as the server's unique
// index does; can be down (refuses) or hung (a statement that never answers
// until interrupted).
struct ServerState {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> uids;  // in the order kept
  std::atomic<bool> down{false};
  bool hung = false;
};

class ServerStore final : public Store {
 public:
  explicit ServerStore(ServerState& state) : state_(state) {}
  RecordOutcome Record(const Event& event) override {
    std::unique_lock lock(state_.mutex);
    state_.changed.wait(lock, [&] { return !state_.hung || interrupted_; });
    if (interrupted_) return {false, 0, "server closed the connection", true, false};
    if (state_.down) return {false, 0, "could not connect to server", true, false};
    if (std::find(state_.uids.begin(), state_.uids.end(), event.uid) == state_.uids.end()) {
      state_.uids.push_back(event.uid);
    }
    return {true, 1, {}, false, false};
  }
  void Interrupt() override {
    const std::lock_guard lock(state_.mutex);
    interrupted_ = true;
    state_.changed.notify_all();
  }
  std::vector<InstrumentSummary> Instruments(std::string*) override { return {}; }
  std::vector<Event> Events(const std::optional<std::string>&, std::string*) override { return {}; }
  std::optional<Event> EventById(std::int64_t, std::string*) override { return std::nullopt; }

 private:
  ServerState& state_;
  bool interrupted_ = false;  // this connection's statement was cut (guarded by the state's mutex)
};

Event EventOf(std::string serial) {
  Event event;
  event.serial = std::move(serial);
  event.time = "2026-12-10 10:00:00";
  event.operation = kOpRead;
  event.result = "ok";
  return event;
}

ForwardingOptions Options() {
  ForwardingOptions options;
  options.recordWait = kRecordWait;
  options.shutdownWait = kShutdownWait;
  options.localRetry = milliseconds(20);
  options.serverRetryFirst = milliseconds(20);
  options.serverRetryLongest = milliseconds(100);
  return options;
}

class StoreAndForwardTest : public ::testing::Test {
 protected:
  std::unique_ptr<StoreAndForward> MakeRecorder(bool withServer = true, const std::string& spoolFolder = "") {
    StoreFactory remote;
    if (withServer) remote = [this] { return std::make_unique<ServerStore>(server_); };
    ForwardingOptions options = Options();
    options.spoolFolder = spoolFolder;
    return std::make_unique<StoreAndForward>([this] { return std::make_unique<LocalStore>(local_); },
                                             std::move(remote), options,
                                             [this](const std::string& text) { reports_.push_back(text); });
  }

  // Records and says how long the call took.
  static milliseconds Timed(StoreAndForward& recorder, const Event& event, RecordOutcome* outcome) {
    const auto start = SteadyClock::now();
    *outcome = recorder.Record(event);
    return std::chrono::duration_cast<milliseconds>(SteadyClock::now() - start);
  }

  std::vector<std::string> LocalUids() {
    const std::lock_guard lock(local_.mutex);
    std::vector<std::string> uids;
    for (const Event& event : local_.events) uids.push_back(event.uid);
    return uids;
  }

  LocalState local_;
  ServerState server_;
  std::vector<std::string> reports_;
};

TEST_F(StoreAndForwardTest, AWriteToAHealthyFileIsRecordedWhenRecordReturns) {
  auto recorder = MakeRecorder(false);
  RecordOutcome outcome;
  Timed(*recorder, EventOf("S-1"), &outcome);
  EXPECT_TRUE(outcome.recorded);
  EXPECT_FALSE(outcome.queued);
  EXPECT_EQ(outcome.id, 1);
  EXPECT_EQ(LocalUids().size(), 1U);
  EXPECT_FALSE(LocalUids().front().empty()) << "every event gets a uid";
}

TEST_F(StoreAndForwardTest, ALockedFileIsWaitedForOnTheRecordersThreadAndWrittenOnceReleased) {
  local_.busy = true;
  auto recorder = MakeRecorder(false);
  RecordOutcome outcome;
  EXPECT_LT(Timed(*recorder, EventOf("S-1"), &outcome), kRecordWait + kSlack);
  EXPECT_TRUE(outcome.recorded);
  EXPECT_TRUE(outcome.queued);
  EXPECT_FALSE(recorder->WaitUntilForwarded(milliseconds(100)));
  EXPECT_TRUE(LocalUids().empty());
  local_.busy = false;
  EXPECT_TRUE(recorder->WaitUntilForwarded(milliseconds(2000)));
  EXPECT_EQ(LocalUids().size(), 1U);
  recorder.reset();
  EXPECT_THAT(reports_, ::testing::IsEmpty());
  const std::lock_guard lock(local_.mutex);
  for (const std::thread::id thread : local_.threads) EXPECT_NE(thread, std::this_thread::get_id());
}

TEST_F(StoreAndForwardTest, ALocalHistoryThatCannotBeUsedSaysWhyAtOnceAndKeepsNothing) {
  local_.refusal = "cannot open the history database h.sqlite: the folder gone does not exist";
  auto recorder = MakeRecorder();
  RecordOutcome outcome;
  EXPECT_LT(Timed(*recorder, EventOf("S-1"), &outcome), kRecordWait + kSlack);
  EXPECT_FALSE(outcome.recorded);
  EXPECT_EQ(outcome.error, local_.refusal);
  EXPECT_TRUE(recorder->WaitUntilForwarded(milliseconds(1000)));
  recorder.reset();
  EXPECT_EQ(local_.writes, 1) << "not tried again";
  EXPECT_THAT(reports_, ::testing::IsEmpty()) << "said once, by Record";
}

TEST_F(StoreAndForwardTest, TheEndWaitsBrieflyForALockedFileAndSaysWhatWasNotRecorded) {
  local_.busy = true;
  auto recorder = MakeRecorder();
  RecordOutcome outcome;
  for (const char* serial : {"S-1", "S-2"}) {
    EXPECT_LT(Timed(*recorder, EventOf(serial), &outcome), kRecordWait + kSlack);
  }
  const auto start = SteadyClock::now();
  recorder.reset();
  const auto took = SteadyClock::now() - start;
  EXPECT_GE(took, kShutdownWait);
  EXPECT_LT(took, kShutdownWait + kSlack);
  ASSERT_EQ(reports_.size(), 2U);
  EXPECT_THAT(reports_[0], HasSubstr("history not recorded: cannot record: database is locked (read of S-1 at"));
  EXPECT_THAT(reports_[1], HasSubstr("(read of S-2 at"));
}

// With a spool folder the end does not wait for the lock: what the file did
// not take is kept there, and the next run writes it once, before its own.
TEST_F(StoreAndForwardTest, AtTheEndALockedFilesEventsAreKeptForTheNextRun) {
  const testsupport::TempFolder folder;
  const std::string spool = folder.File("History.sqlite.waiting");
  local_.busy = true;
  auto recorder = MakeRecorder(false, spool);
  RecordOutcome outcome;
  for (const char* serial : {"S-1", "S-2"}) Timed(*recorder, EventOf(serial), &outcome);
  const auto start = SteadyClock::now();
  recorder.reset();
  EXPECT_LT(SteadyClock::now() - start, kShutdownWait) << "the end did not wait for the lock";
  ASSERT_EQ(reports_.size(), 2U);
  EXPECT_THAT(reports_[0], HasSubstr("history not recorded yet: cannot record: database is locked; kept in " +
                                     spool + " for the next run to record (read of S-1 at"));
  EXPECT_EQ(SpooledEvents(spool).size(), 2U);

  local_.busy = false;
  reports_.clear();
  recorder = MakeRecorder(false, spool);
  Timed(*recorder, EventOf("S-3"), &outcome);
  ASSERT_TRUE(recorder->WaitUntilForwarded(milliseconds(5000)));
  recorder.reset();
  EXPECT_THAT(reports_, ::testing::IsEmpty());
  EXPECT_THAT(SpooledEvents(spool), ::testing::IsEmpty());
  const std::lock_guard lock(local_.mutex);
  std::vector<std::string> serials;
  for (const Event& event : local_.events) serials.push_back(event.serial);
  EXPECT_THAT(serials, ElementsAreArray({"S-1", "S-2", "S-3"}));
}

// A kept event survives any bytes: the file holds each field by its length.
TEST(EventSpoolTest, KeepsEveryFieldByteForByteAndSkipsAFileCutShort) {
  const testsupport::TempFolder folder;
  Event event = EventOf("S\n1 \x01");
  event.uid = "u-1";
  event.detail = "a\nb 12\n";
  event.snapshot = std::string("\0\xff\n\r", 4) + std::string(5000, 'x');
  std::string error;
  ASSERT_TRUE(SpoolEvent(folder.Path(), event, &error)) << error;
  const std::vector<SpooledEvent> kept = SpooledEvents(folder.Path());
  ASSERT_EQ(kept.size(), 1U);
  EXPECT_EQ(kept[0].event.serial, event.serial);
  EXPECT_EQ(kept[0].event.detail, event.detail);
  EXPECT_EQ(kept[0].event.snapshot, event.snapshot);
  EXPECT_EQ(kept[0].event.uid, "u-1");
  const std::string bytes = testsupport::ReadBytes(kept[0].path);
  testsupport::WriteBytes(kept[0].path, bytes.substr(0, bytes.size() - 3));
  EXPECT_THAT(SpooledEvents(folder.Path()), ::testing::IsEmpty());
}

TEST_F(StoreAndForwardTest, EventsWaitForTheServerAndGoOnceInOrderWhenItIsBack) {
  server_.down = true;
  auto recorder = MakeRecorder();
  for (int i = 0; i < 250; ++i) {  // more than one forwarding batch
    RecordOutcome outcome;
    EXPECT_LT(Timed(*recorder, EventOf("S-" + std::to_string(i)), &outcome), kRecordWait + kSlack);
    ASSERT_TRUE(outcome.recorded);
  }
  EXPECT_FALSE(recorder->WaitUntilForwarded(milliseconds(200)));
  server_.down = false;
  ASSERT_TRUE(recorder->WaitUntilForwarded(milliseconds(5000)));
  const std::lock_guard lock(server_.mutex);
  EXPECT_THAT(server_.uids, ElementsAreArray(LocalUids()));
}

TEST_F(StoreAndForwardTest, AHungServerDelaysNeitherRecordsNorTheEnd) {
  server_.hung = true;
  auto recorder = MakeRecorder();
  for (int i = 0; i < 5; ++i) {
    RecordOutcome outcome;
    EXPECT_LT(Timed(*recorder, EventOf("S-" + std::to_string(i)), &outcome), kRecordWait + kSlack);
    EXPECT_TRUE(outcome.recorded);
    EXPECT_FALSE(outcome.queued) << "the local write is not held up by the server";
  }
  const auto start = SteadyClock::now();
  recorder.reset();
  EXPECT_LT(SteadyClock::now() - start, kSlack * 2);
  EXPECT_EQ(LocalUids().size(), 5U) << "the events wait in the local history";
  EXPECT_THAT(reports_, ::testing::IsEmpty());
}

TEST_F(StoreAndForwardTest, WhatAnEarlierRunLeftIsForwardedAtTheStart) {
  {
    server_.down = true;
    auto recorder = MakeRecorder();
    for (const char* serial : {"S-1", "S-2"}) recorder->Record(EventOf(serial));
  }
  server_.down = false;
  auto recorder = MakeRecorder();
  ASSERT_TRUE(recorder->WaitUntilForwarded(milliseconds(2000)));
  const std::lock_guard lock(server_.mutex);
  EXPECT_THAT(server_.uids, ElementsAreArray(LocalUids()));
}

// The program's recorder hands each event to the store and returns what it says.
}  // namespace
}  // namespace kv::history::testing
