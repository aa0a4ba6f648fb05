// The SQL store against SQLite and PostgreSQL: what is recorded comes back
// byte for byte, in time order, summarised per instrument; the schema is
// migrated once and a newer one is refused; two programs recording at once
// lose nothing.
#include <gmock/gmock.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <set>

#include "history/store_fixture.h"
#include "historydb/sql_schema.h"
#include "support/child_process.h"

namespace kv::history::testing {
namespace {

using ::testing::HasSubstr;

Event MakeEvent(std::string serial, std::string time, std::string operation, std::string result = "ok") {
  Event event;
  event.serial = std::move(serial);
  event.model = "KORVIN type 1";
  event.time = std::move(time);
  event.user = "tech";
  event.operation = std::move(operation);
  event.result = std::move(result);
  return event;
}

std::vector<std::string> Times(const std::vector<Event>& events) {
  std::vector<std::string> times;
  for (const Event& e : events) times.push_back(e.serial + "@" + e.time);
  return times;
}

TEST_P(StoreTest, KeepsEveryFieldByteForByte) {
  auto store = MakeStore();
  Event event = MakeEvent("KV24-\xC4\xD6", "2026-03-04 05:06:07", kOpTransmit);
  event.user = "M\xFCller";
  event.detail = "wrote 3 settings";
  event.file = "/data/Backup/20260304.kvd";
  event.snapshot = std::string("GP,W,\0\xFF\x80\r\n", 10);
  const RecordOutcome first = store->Record(event);
  ASSERT_TRUE(first.recorded) << first.error;
  const RecordOutcome second = store->Record(MakeEvent("B", "2026-03-04 05:06:08", kOpRead));
  ASSERT_TRUE(second.recorded) << second.error;
  EXPECT_GT(second.id, first.id);

  std::string error;
  const std::optional<Event> back = MakeStore()->EventById(first.id, &error);
  ASSERT_TRUE(back.has_value()) << error;
  EXPECT_EQ(back->id, first.id);
  for (const auto field : {&Event::serial, &Event::model, &Event::time, &Event::user, &Event::operation,
                           &Event::result, &Event::detail, &Event::file, &Event::snapshot}) {
    EXPECT_EQ((*back).*field, event.*field);
  }
}

TEST_P(StoreTest, ListsOneInstrumentsEventsOldestFirst) {
  auto store = MakeStore();
  for (const Event& e : {MakeEvent("A", "2026-05-02 10:00:00", kOpRead),
                         MakeEvent("B", "2026-05-01 09:00:00", kOpRead),
                         MakeEvent("A", "2026-05-01 11:00:00", kOpZero),
                         MakeEvent("A", "2026-05-02 10:00:00", kOpTransmit)}) {
    ASSERT_TRUE(store->Record(e).recorded);
  }
  std::string error;
  const std::vector<Event> a = store->Events("A", &error);
  EXPECT_EQ(error, "");
  EXPECT_THAT(Times(a), ::testing::ElementsAre("A@2026-05-01 11:00:00", "A@2026-05-02 10:00:00",
                                               "A@2026-05-02 10:00:00"));
  ASSERT_EQ(a.size(), 3U);
  EXPECT_EQ(a[1].operation, kOpRead) << "the same second: in the order recorded";
  EXPECT_EQ(a[2].operation, kOpTransmit);
  EXPECT_THAT(Times(store->Events(std::nullopt, &error)),
              ::testing::ElementsAre("B@2026-05-01 09:00:00", "A@2026-05-01 11:00:00",
                                     "A@2026-05-02 10:00:00", "A@2026-05-02 10:00:00"));
  EXPECT_TRUE(store->Events("C", &error).empty());
}

// A power off records no serial number: its events are the "" instrument's,
// listed apart from the others' in the history window and by kvmaint.
TEST_P(StoreTest, AnEmptySerialNumberGivesOnlyTheEventsWithoutOne) {
  auto store = MakeStore();
  for (const Event& e : {MakeEvent("A", "2026-05-01 09:00:00", kOpRead),
                         MakeEvent("", "2026-05-01 10:00:00", kOpPowerOff)}) {
    ASSERT_TRUE(store->Record(e).recorded);
  }
  std::string error;
  EXPECT_THAT(Times(store->Events("", &error)), ::testing::ElementsAre("@2026-05-01 10:00:00"));
  EXPECT_EQ(error, "");
}

TEST_P(StoreTest, SummarisesEachInstrument) {
  auto store = MakeStore();
  Event clock = MakeEvent("A", "2026-06-05 08:00:00", kOpSetClock);
  clock.model = "";  // the serial read alone does not tell the model
  Event older = MakeEvent("A", "2026-06-01 08:00:00", kOpRead);
  older.model = "KORVIN type 0";
  for (const Event& e : {older, MakeEvent("A", "2026-06-02 08:00:00", kOpSpan),
                         MakeEvent("A", "2026-06-03 08:00:00", kOpRead, "failed at VP,R: no answer"),
                         MakeEvent("A", "2026-06-04 08:00:00", kOpZero, "failed at Z1,W: refused"), clock,
                         MakeEvent("B", "2026-06-01 07:00:00", kOpSetClock)}) {
    ASSERT_TRUE(store->Record(e).recorded);
  }
  std::string error;
  const std::vector<InstrumentSummary> instruments = store->Instruments(&error);
  ASSERT_EQ(instruments.size(), 2U) << error;
  const InstrumentSummary& a = instruments[0];
  EXPECT_EQ(a.serial, "A");
  EXPECT_EQ(a.model, "KORVIN type 1") << "the latest model known";
  EXPECT_EQ(a.lastSeen, "2026-06-05 08:00:00");
  EXPECT_EQ(a.lastRead, "2026-06-01 08:00:00") << "a failed read does not count";
  EXPECT_EQ(a.lastCalibration, "2026-06-02 08:00:00") << "a failed zero does not count";
  EXPECT_EQ(instruments[1].serial, "B");
  EXPECT_EQ(instruments[1].lastRead, "");
  EXPECT_EQ(instruments[1].lastCalibration, "");
}

TEST_P(StoreTest, AnUnknownEventIsAnError) {
  std::string error;
  EXPECT_FALSE(MakeStore()->EventById(42, &error).has_value());
  EXPECT_THAT(error, HasSubstr("no event 42"));
}

TEST_P(StoreTest, MigratesOnceAndRefusesANewerSchema) {
  auto first = MakeStore();
  ASSERT_TRUE(first->Record(MakeEvent("A", "2026-01-01 00:00:00", kOpRead)).recorded);
  auto second = MakeStore();  // finds the tables made, adds nothing
  ASSERT_TRUE(second->Record(MakeEvent("A", "2026-01-01 00:00:01", kOpRead)).recorded);
  std::string error;
  EXPECT_EQ(second->Events("A", &error).size(), 2U) << error;
  first.reset();
  second.reset();

  const StoreLocation location = MakeStore()->Location();
  EXPECT_EQ(ExecRaw(location, QStringLiteral("SELECT COUNT(*) FROM schema_version")),
            std::optional<qlonglong>(KnownSchemaVersion()))
      << "each migration applied once";
  ASSERT_TRUE(ExecRaw(location, QStringLiteral("INSERT INTO schema_version (version) VALUES (99)")));
  auto newer = MakeStore();
  const RecordOutcome refused = newer->Record(MakeEvent("A", "2026-01-01 00:00:02", kOpRead));
  EXPECT_FALSE(refused.recorded);
  EXPECT_THAT(refused.error, HasSubstr("schema version 99, newer than this program's " +
                                       std::to_string(KnownSchemaVersion())));
}

TEST_P(StoreTest, TwoProgramsRecordingAtOnceLoseNothing) {
  constexpr int kEach = 150;
  testsupport::ChildProcess a({KV_HISTORY_WRITER_PATH, location_, std::to_string(kEach), "A"});
  testsupport::ChildProcess b({KV_HISTORY_WRITER_PATH, location_, std::to_string(kEach), "B"});
  const testsupport::ProgramResult endedA = a.Finish();
  const testsupport::ProgramResult endedB = b.Finish();
  EXPECT_EQ(endedA.exitCode, 0) << endedA.err;
  EXPECT_EQ(endedB.exitCode, 0) << endedB.err;

  std::string error;
  const std::vector<Event> events = MakeStore()->Events(std::nullopt, &error);
  ASSERT_EQ(error, "");
  std::set<std::int64_t> ids;
  std::set<std::string> written;
  for (const Event& e : events) {
    ids.insert(e.id);
    written.insert(e.serial + e.detail);
    EXPECT_EQ(e.snapshot.size(), 512U);
  }
  EXPECT_EQ(events.size(), 2U * kEach);
  EXPECT_EQ(ids.size(), events.size()) << "every event has its own id";
  for (int i = 0; i < kEach; ++i) {
    EXPECT_TRUE(written.count("A" + std::to_string(i)) == 1 && written.count("B" + std::to_string(i)) == 1)
        << "event " << i << " is missing";
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreTest, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         BackendName);

}  // namespace
}  // namespace kv::history::testing

namespace kv::history::testing {
namespace {

TEST(PostgresStoreTest, AServerThatStopsIsAnErrorNotACrash) {
  if (!PostgresServer::Installed()) {
    GTEST_SKIP() << "no PostgreSQL server programs (initdb, pg_ctl) under /usr/lib/postgresql";
  }
  PostgresServer server;
  ASSERT_EQ(server.Problem(), "");
  const std::string url = server.NewDatabaseUrl();
  std::string error;
  const std::optional<StoreLocation> location = ParseStoreLocation(url, "", &error);
  ASSERT_TRUE(location.has_value()) << error;
  SqlStore store(*location);
  ASSERT_TRUE(store.Record(MakeEvent("A", "2026-01-01 00:00:00", kOpRead)).recorded);
  server.Stop();
  const RecordOutcome lost = store.Record(MakeEvent("A", "2026-01-01 00:00:01", kOpRead));
  EXPECT_FALSE(lost.recorded);
  EXPECT_THAT(lost.error, HasSubstr(location->Describe()));
  EXPECT_TRUE(store.Events("A", &error).empty());
  EXPECT_NE(error, "");
}

}  // namespace
}  // namespace kv::history::testing
