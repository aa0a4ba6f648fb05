#pragma once
// The history in an SQL database through Qt SQL: one SQLite file (QSQLITE) or
// a PostgreSQL server (QPSQL), the same tables in both. The database is
// opened and brought up to date on first use, and again after a failure, so
// a server that comes back is used again. Each record is one statement, kept
// once per uid. Snapshots are stored compressed; lists read none of them.
#include <QString>
#include <memory>
#include <string>

#include "history/history_location.h"
#include "history/history_store.h"
#include "history/store_and_forward.h"

class QSqlDatabase;
class QSqlQuery;

namespace kv::history {

class StatementWatchdog;

struct SqlStoreOptions {
  int busyTimeoutMs = 5000;       // SQLite: how long a read waits for another writer
  int recorderBusyTimeoutMs = 50;  // SQLite, the recorder's thread: one try's wait (it tries again)
  int connectTimeoutSeconds = 5;  // PostgreSQL: how long to wait for the server (libpq: at least 2)
  int statementTimeoutMs = 5000;  // PostgreSQL: how long one statement may take
  ForwardingOptions forwarding;   // the recorder's waits
  NotRecordedReport notRecorded;  // says an event was lost at the end (default: stderr)
};

class SqlStore final : public Store {
 public:
  explicit SqlStore(StoreLocation location, SqlStoreOptions options = {});
  ~SqlStore() override;
  SqlStore(const SqlStore&) = delete;
  SqlStore& operator=(const SqlStore&) = delete;

  // Opens the database and applies missing migrations; false with `error`
  // set ("cannot open the history database ...: why").
  bool Prepare(std::string* error) override;
  const StoreLocation& Location() const { return location_; }

  // Keeps an event whose uid the store already holds once: the outcome is
  // the id it has. An SQLite store notes the event as waiting to be forwarded.
  RecordOutcome Record(const Event& event) override;
  std::vector<InstrumentSummary> Instruments(std::string* error) override;
  std::vector<Event> Events(const std::optional<std::string>& serial, std::string* error) override;
  std::optional<Event> EventById(std::int64_t id, std::string* error) override;
  std::vector<Event> EventList(const std::optional<std::string>& serial, std::size_t offset, std::size_t limit,
                               std::string* error) override;
  std::size_t EventCount(const std::optional<std::string>& serial, std::string* error) override;
  std::optional<Event> LatestSnapshot(const std::string& serial, const std::string& operation,
                                      std::string* error) override;
  std::vector<Event> PendingEvents(std::size_t limit, std::string* error) override;
  std::size_t PendingCount(std::string* error) override;
  bool MarkForwarded(const std::vector<std::string>& uids, std::string* error) override;
  void Interrupt() override;

  // ---- Fleet queries.
  std::vector<Event> LatestReads(std::string* error) override;
  std::vector<Event> CalibrationEvents(std::string* error) override;
  std::vector<InstrumentSummary> LastSeen(std::string* error) override;
  // ---- End of fleet queries.

 private:
  // Runs the prepared `query` within the statement limit; false with `error`
  // set, after which the connection is closed so the next call opens afresh.
  bool Run(QSqlQuery& query, std::string* error);
  // After a failed statement: closes, so that the next call opens afresh.
  void Drop();
  std::string QueryError(const QSqlQuery& query);
  // A fleet query's events.
  std::vector<Event> FleetQuery(const QString& statement, bool withSnapshot, std::string* error);

  StoreLocation location_;
  SqlStoreOptions options_;
  QString connection_;  // this store's own Qt SQL connection name
  bool open_ = false;
  std::unique_ptr<StatementWatchdog> watchdog_;  // PostgreSQL only
};

}  // namespace kv::history
