// Recording on a thread of its own: the store is prepared and used on that
// one thread, never on the caller's; a record waits for the preparation; a
// store that cannot be prepared gives its error and is not tried again; and
// the real SQL stores work from that thread.
#include <gmock/gmock.h>

#include <QCoreApplication>
#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "history/background_recorder.h"
#include "history/store_fixture.h"

namespace kv::history::testing {
namespace {

using ::testing::ElementsAre;

// Notes which thread each call ran on; Prepare waits until released.
class ThreadNotingStore final : public Store {
 public:
  struct Calls {
    std::vector<std::string> names;
    std::vector<std::thread::id> threads;
    std::vector<std::string> serials;
  };
  ThreadNotingStore(Calls& calls, std::shared_future<bool> release) : calls_(calls), release_(release) {}
  ~ThreadNotingStore() override { Note("destroy"); }

  bool Prepare(std::string* error) override {
    Note("prepare");
    const bool ok = release_.get();
    if (!ok) *error = "cannot open the history database: server down";
    return ok;
  }
  RecordOutcome Record(const Event& event) override {
    Note("record");
    calls_.serials.push_back(event.serial);
    return {true, static_cast<std::int64_t>(calls_.serials.size()), ""};
  }
  std::vector<InstrumentSummary> Instruments(std::string*) override { return {}; }
  std::vector<Event> Events(const std::optional<std::string>&, std::string*) override { return {}; }
  std::optional<Event> EventById(std::int64_t, std::string*) override { return std::nullopt; }

 private:
  void Note(std::string name) {
    calls_.names.push_back(std::move(name));
    calls_.threads.push_back(std::this_thread::get_id());
  }
  Calls& calls_;
  std::shared_future<bool> release_;
};

Event EventOf(std::string serial) {
  Event event;
  event.serial = std::move(serial);
  event.time = "2026-12-10 10:00:00";
  event.operation = kOpRead;
  event.result = "ok";
  return event;
}

TEST(BackgroundRecorderTest, PreparesRecordsAndClosesOnOneThreadOfItsOwn) {
  ThreadNotingStore::Calls calls;
  std::promise<bool> release;
  {
    BackgroundRecorder recorder(std::make_unique<ThreadNotingStore>(calls, release.get_future().share()));
    // The record is asked for before the preparation has ended: it waits.
    std::future<RecordOutcome> first = std::async(std::launch::async, [&] {
      return recorder.Record(EventOf("S-1"));
    });
    release.set_value(true);
    const RecordOutcome outcome = first.get();
    EXPECT_TRUE(outcome.recorded);
    EXPECT_EQ(outcome.id, 1);
    const RecordOutcome second = recorder.Record(EventOf("S-2"));
    EXPECT_EQ(second.id, 2);
  }
  EXPECT_THAT(calls.names, ElementsAre("prepare", "record", "record", "destroy"));
  EXPECT_THAT(calls.serials, ElementsAre("S-1", "S-2"));
  ASSERT_EQ(calls.threads.size(), 4u);
  for (const std::thread::id thread : calls.threads) {
    EXPECT_EQ(thread, calls.threads.front());
    EXPECT_NE(thread, std::this_thread::get_id());
  }
}

TEST(BackgroundRecorderTest, AStoreThatCannotBePreparedGivesItsErrorAndIsNotTriedAgain) {
  ThreadNotingStore::Calls calls;
  std::promise<bool> release;
  release.set_value(false);
  {
    BackgroundRecorder recorder(std::make_unique<ThreadNotingStore>(calls, release.get_future().share()));
    for (int i = 0; i < 2; ++i) {
      const RecordOutcome outcome = recorder.Record(EventOf("S-1"));
      EXPECT_FALSE(outcome.recorded);
      EXPECT_EQ(outcome.error, "cannot open the history database: server down");
    }
  }
  EXPECT_THAT(calls.names, ElementsAre("prepare", "destroy"));
}

TEST(BackgroundRecorderTest, EndsCleanlyWithNothingRecorded) {
  ThreadNotingStore::Calls calls;
  std::promise<bool> release;
  release.set_value(true);
  { BackgroundRecorder recorder(std::make_unique<ThreadNotingStore>(calls, release.get_future().share())); }
  EXPECT_THAT(calls.names, ElementsAre("prepare", "destroy"));
}

// The SQL stores' connections belong to the thread that made them: recorded
// there, the events are read back here through a connection of this thread.
// As in kvmaint, the application exists before the store's thread touches
// Qt, so Qt takes this thread for its main thread, not the store's.
class BackgroundSqlStoreTest : public StoreTest {
 protected:
  int argc_ = 1;
  char name_[14] = "history_tests";
  char* argv_[2] = {name_, nullptr};
  QCoreApplication app_{argc_, argv_};
};

TEST_P(BackgroundSqlStoreTest, RecordsFromItsOwnThread) {
  {
    BackgroundRecorder recorder(MakeStore());
    for (const char* serial : {"B-1", "B-2"}) {
      const RecordOutcome outcome = recorder.Record(EventOf(serial));
      EXPECT_TRUE(outcome.recorded) << outcome.error;
    }
  }
  std::string error;
  const std::vector<Event> events = MakeStore()->Events(std::nullopt, &error);
  EXPECT_EQ(error, "");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].serial, "B-1");
  EXPECT_EQ(events[1].serial, "B-2");
}

INSTANTIATE_TEST_SUITE_P(Stores, BackgroundSqlStoreTest,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL), BackendName);

}  // namespace
}  // namespace kv::history::testing
