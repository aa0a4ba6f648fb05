// The store's queries that cost what they show, against SQLite and
// PostgreSQL: lists page without snapshot bytes, the latest read is one
// query, an event forwarded twice is kept once, the local file knows what
// waits to be forwarded, snapshots are stored compressed, a store of the
// first schema is converted and reads back the same, and a dropped table
// is said plainly.
#include <gmock/gmock.h>

#include <set>

#include "files/kvd_writer.h"
#include "history/store_fixture.h"
#include "report/memory_store.h"
#include "historydb/sql_schema.h"
#include "history/history_event.h"
#include "support/sample_record.h"

namespace kv::history::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using testsupport::MakeEvent;

std::vector<std::string> Summary(const std::vector<Event>& events) {
  std::vector<std::string> lines;
  for (const Event& e : events) {
    lines.push_back(e.time + " " + e.operation + (e.hasSnapshot ? " +snapshot" : "") +
                    (e.snapshot.empty() ? "" : " BYTES"));
  }
  return lines;
}

class StoreQueryTest : public StoreTest {};

TEST_P(StoreQueryTest, ListsAPageInTimeOrderWithoutSnapshotBytes) {
  auto store = MakeStore();
  // Recorded out of time order: lists follow the time.
  for (const Event& event : {MakeEvent("A", "2026-01-03 00:00:00", kOpRead, "three"),
                             MakeEvent("A", "2026-01-01 00:00:00", kOpRead, "one"),
                             MakeEvent("B", "2026-01-02 00:00:00", kOpRead, "other"),
                             MakeEvent("A", "2026-01-02 00:00:00", kOpSetClock),
                             MakeEvent("A", "2026-01-04 00:00:00", kOpTransmit, "four")}) {
    ASSERT_TRUE(store->Record(event).recorded);
  }
  std::string error;
  EXPECT_EQ(store->EventCount("A", &error), 4U);
  EXPECT_EQ(store->EventCount(std::nullopt, &error), 5U);
  EXPECT_THAT(Summary(store->EventList("A", 1, 2, &error)),
              ElementsAre("2026-01-02 00:00:00 set-clock", "2026-01-03 00:00:00 read +snapshot"));
  EXPECT_THAT(Summary(store->EventList("A", 3, 100, &error)), ElementsAre("2026-01-04 00:00:00 transmit +snapshot"));
  EXPECT_TRUE(store->EventList("A", 4, 100, &error).empty());
  EXPECT_EQ(error, "");
  // The full events still carry their snapshots.
  EXPECT_THAT(Summary(store->Events("B", &error)), ElementsAre("2026-01-02 00:00:00 read +snapshot BYTES"));
}

TEST_P(StoreQueryTest, TheLatestSnapshotIsTheLatestSuccessfulOneOfItsOperationAndSerial) {
  auto store = MakeStore();
  for (const Event& event : {MakeEvent("A", "2026-01-01 00:00:00", kOpRead, "first read"),
                             MakeEvent("A", "2026-01-02 00:00:00", kOpRead, "second read"),
                             MakeEvent("A", "2026-01-03 00:00:00", kOpRead, "failed read", "no answer"),
                             MakeEvent("A", "2026-01-04 00:00:00", kOpRead),  // kept no snapshot
                             MakeEvent("A", "2026-01-05 00:00:00", kOpTransmit, "sent"),
                             MakeEvent("B", "2026-01-06 00:00:00", kOpRead, "other instrument")}) {
    ASSERT_TRUE(store->Record(event).recorded);
  }
  std::string error;
  const std::optional<Event> latest = store->LatestSnapshot("A", kOpRead, &error);
  ASSERT_TRUE(latest.has_value()) << error;
  EXPECT_EQ(latest->snapshot, "second read");
  EXPECT_FALSE(store->LatestSnapshot("C", kOpRead, &error).has_value());
  EXPECT_EQ(error, "");
}

TEST_P(StoreQueryTest, AnEventRecordedAgainUnderItsUidIsKeptOnce) {
  auto store = MakeStore();
  Event event = MakeEvent("A", "2026-01-01 00:00:00", kOpRead, "snapshot");
  event.uid = "3b241101-e2bb-4255-8caf-4136c566a962";
  const RecordOutcome first = store->Record(event);
  const RecordOutcome again = store->Record(event);
  ASSERT_TRUE(first.recorded && again.recorded) << first.error << again.error;
  EXPECT_EQ(again.id, first.id);
  std::string error;
  ASSERT_EQ(store->EventCount("A", &error), 1U);
  EXPECT_EQ(store->EventList("A", 0, 1, &error).front().uid, event.uid);
}

TEST_P(StoreQueryTest, OnlyALocalFileHoldsEventsWaitingToBeForwarded) {
  auto store = MakeStore();
  std::vector<std::string> uids;
  for (const char* time : {"2026-01-01 00:00:00", "2026-01-02 00:00:00", "2026-01-03 00:00:00"}) {
    Event event = MakeEvent("A", time, kOpRead, std::string("snapshot at ") + time);
    event.uid = NewEventUid();
    uids.push_back(event.uid);
    ASSERT_TRUE(store->Record(event).recorded);
  }
  std::string error;
  const bool local = GetParam() == Backend::SQLite;
  EXPECT_EQ(store->PendingCount(&error), local ? 3U : 0U);
  ASSERT_TRUE(store->MarkForwarded({uids[0], uids[1]}, &error)) << error;
  const std::vector<Event> pending = store->PendingEvents(10, &error);
  EXPECT_EQ(error, "");
  if (!local) {
    EXPECT_TRUE(pending.empty());
    return;
  }
  ASSERT_EQ(pending.size(), 1U);
  EXPECT_EQ(pending[0].uid, uids[2]);
  EXPECT_EQ(pending[0].snapshot, "snapshot at 2026-01-03 00:00:00") << "forwarded with its snapshot";
}

// A maintenance file of a full record: what a read keeps.
std::string FullSnapshot() { return MaintenanceFileText(testsupport::SampleRecord()); }

TEST_P(StoreQueryTest, SnapshotsAreStoredCompressed) {
  const std::string snapshot = FullSnapshot();
  ASSERT_GT(snapshot.size(), 10000U);
  auto store = MakeStore();
  const RecordOutcome recorded = store->Record(MakeEvent("A", "2026-01-01 00:00:00", kOpRead, snapshot));
  ASSERT_TRUE(recorded.recorded) << recorded.error;
  const std::optional<qlonglong> stored =
      ExecRaw(store->Location(), QStringLiteral("SELECT length(snapshot) FROM events"));
  ASSERT_TRUE(stored.has_value());
  EXPECT_LT(*stored, static_cast<qlonglong>(snapshot.size() / 4));
  std::string error;
  EXPECT_EQ(store->EventById(recorded.id, &error)->snapshot, snapshot);
}

// The tables of the first schema, as a program before compression left them.
void MakeFirstSchemaStore(const StoreLocation& location, const std::vector<Event>& events) {
  const bool postgres = location.kind == StoreKind::PostgreSQL;
  ASSERT_TRUE(ExecRaw(location, QStringLiteral("CREATE TABLE events (id %1, serial TEXT NOT NULL,"
                                               " model TEXT NOT NULL, event_time TEXT NOT NULL,"
                                               " user_name TEXT NOT NULL, operation TEXT NOT NULL,"
                                               " result TEXT NOT NULL, detail TEXT NOT NULL,"
                                               " file TEXT NOT NULL, snapshot %2)")
                                    .arg(postgres ? "BIGSERIAL PRIMARY KEY" : "INTEGER PRIMARY KEY AUTOINCREMENT",
                                         postgres ? "BYTEA" : "BLOB")));
  ASSERT_TRUE(ExecRaw(location, QStringLiteral("CREATE INDEX events_by_serial ON events (serial, event_time, id)")));
  ASSERT_TRUE(ExecRaw(location, QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)")));
  ASSERT_TRUE(ExecRaw(location, QStringLiteral("INSERT INTO schema_version (version) VALUES (1)")));
  for (const Event& e : events) {
    ASSERT_TRUE(ExecRaw(location,
                        QStringLiteral("INSERT INTO events (serial, model, event_time, user_name, operation,"
                                       " result, detail, file, snapshot) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                        {QString::fromLatin1(e.serial), QString::fromLatin1(e.model), QString::fromLatin1(e.time),
                         QString::fromLatin1(e.user), QString::fromLatin1(e.operation),
                         QString::fromLatin1(e.result), QString::fromLatin1(e.detail), QString::fromLatin1(e.file),
                         QByteArray::fromStdString(e.snapshot)}));
  }
}

TEST_P(StoreQueryTest, AStoreOfTheFirstSchemaIsConvertedAndReadsBackTheSame) {
  const StoreLocation location = MakeStore()->Location();
  std::vector<Event> old{MakeEvent("A", "2026-01-01 00:00:00", kOpRead, FullSnapshot()),
                         MakeEvent("A", "2026-01-02 00:00:00", kOpSetClock),
                         MakeEvent("B", "2026-01-03 00:00:00", kOpTransmit, "LE,\xC4\r\n")};
  old[1].detail = "2026/01/02 00:00:00";
  old[1].file = "/data/A.kvd";
  ASSERT_NO_FATAL_FAILURE(MakeFirstSchemaStore(location, old));
  const std::optional<qlonglong> plainBytes =
      ExecRaw(location, QStringLiteral("SELECT SUM(length(snapshot)) FROM events"));

  auto store = MakeStore();
  std::string error;
  const std::vector<Event> events = store->Events(std::nullopt, &error);
  ASSERT_EQ(error, "");
  ASSERT_EQ(events.size(), old.size());
  std::set<std::string> uids;
  for (std::size_t i = 0; i < old.size(); ++i) {
    EXPECT_EQ(events[i].id, static_cast<std::int64_t>(i + 1));
    EXPECT_EQ(events[i].serial, old[i].serial);
    EXPECT_EQ(events[i].time, old[i].time);
    EXPECT_EQ(events[i].operation, old[i].operation);
    EXPECT_EQ(events[i].detail, old[i].detail);
    EXPECT_EQ(events[i].file, old[i].file);
    EXPECT_EQ(events[i].snapshot, old[i].snapshot) << "event " << i + 1;
    uids.insert(events[i].uid);
  }
  EXPECT_EQ(uids.size(), old.size()) << "each old event has a uid of its own";
  EXPECT_EQ(store->PendingCount(&error), 0U) << "events from before are not forwarded";
  EXPECT_EQ(ExecRaw(location, QStringLiteral("SELECT MAX(version) FROM schema_version")),
            std::optional<qlonglong>(KnownSchemaVersion()));
  const std::optional<qlonglong> storedBytes =
      ExecRaw(location, QStringLiteral("SELECT SUM(length(snapshot)) FROM events"));
  ASSERT_TRUE(plainBytes && storedBytes);
  EXPECT_LT(*storedBytes, *plainBytes / 4) << "the old snapshots are compressed";
  // And the store goes on recording after them.
  EXPECT_EQ(store->Record(MakeEvent("A", "2026-01-04 00:00:00", kOpRead, "new")).id, 4);
}

TEST_P(StoreQueryTest, ADroppedEventsTableIsSaidPlainly) {
  auto store = MakeStore();
  ASSERT_TRUE(store->Record(MakeEvent("A", "2026-01-01 00:00:00", kOpRead)).recorded);
  const StoreLocation location = store->Location();
  store.reset();
  ASSERT_TRUE(ExecRaw(location, QStringLiteral("DROP TABLE events")));
  auto after = MakeStore();
  std::string error;
  EXPECT_TRUE(after->EventList("A", 0, 10, &error).empty());
  EXPECT_THAT(error, HasSubstr("has no events table"));
  const RecordOutcome lost = after->Record(MakeEvent("A", "2026-01-02 00:00:00", kOpRead));
  EXPECT_FALSE(lost.recorded);
  EXPECT_THAT(lost.error, HasSubstr("has no events table"));
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreQueryTest, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         BackendName);

}  // namespace
}  // namespace kv::history::testing
