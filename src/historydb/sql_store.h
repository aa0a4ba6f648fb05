#pragma once
// The history in an SQL database through Qt SQL: one SQLite file (QSQLITE) or
// a PostgreSQL server (QPSQL), the same tables in both. The database is
// opened and brought up to date on first use, and again after a failure, so
// a server that comes back is used again. Each record is one transaction.
#include <QString>
#include <string>

#include "history/history_location.h"
#include "history/history_store.h"

namespace kv::history {

struct SqlStoreOptions {
  int busyTimeoutMs = 5000;        // SQLite: how long to wait for another writer
  int connectTimeoutSeconds = 5;   // PostgreSQL: how long to wait for the server
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

  RecordOutcome Record(const Event& event) override;
  std::vector<InstrumentSummary> Instruments(std::string* error) override;
  std::vector<Event> Events(const std::optional<std::string>& serial, std::string* error) override;
  std::optional<Event> EventById(std::int64_t id, std::string* error) override;

  // ---- Fleet queries (sql_store_fleet.cpp).
  std::vector<Event> LatestReads(std::string* error) override;
  std::vector<Event> CalibrationEvents(std::string* error) override;
  std::vector<InstrumentSummary> LastSeen(std::string* error) override;
  // ---- End of fleet queries.

 private:
  // After a failed statement: closes, so that the next call opens afresh.
  void Drop();
  // A fleet query's events (sql_store_fleet.cpp).
  std::vector<Event> FleetQuery(const QString& statement, bool withSnapshot, std::string* error);

  StoreLocation location_;
  SqlStoreOptions options_;
  QString connection_;  // this store's own Qt SQL connection name
  bool open_ = false;
};

}  // namespace kv::history
