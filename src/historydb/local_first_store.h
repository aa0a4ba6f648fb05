#pragma once
// The history the programs use: events are recorded through a store-and-
// forward recorder (history/store_and_forward.h) into the local SQLite file
// and, when a shared PostgreSQL history is configured, forwarded there; Record
// never waits for a database. Queries go to the shared history when there is
// one (it holds every computer's events), else to the local file, each on a
// connection of the calling thread.
#include <chrono>
#include <memory>
#include <optional>

#include "history/store_and_forward.h"
#include "historydb/sql_store.h"

namespace kv::history {

class LocalFirstStore final : public Store {
 public:
  LocalFirstStore(StoreLocation local, std::optional<StoreLocation> shared, SqlStoreOptions options = {});
  // Waits at most `forwarding.shutdownWait` for the local writes, never for the server.
  ~LocalFirstStore() override;
  LocalFirstStore(const LocalFirstStore&) = delete;
  LocalFirstStore& operator=(const LocalFirstStore&) = delete;

  // Starts the recorder: the local file opens and the server connects in the
  // background (always true; failures show in the records).
  bool Prepare(std::string* error) override;
  RecordOutcome Record(const Event& event) override;

  std::vector<InstrumentSummary> Instruments(std::string* error) override;
  std::vector<Event> Events(const std::optional<std::string>& serial, std::string* error) override;
  std::optional<Event> EventById(std::int64_t id, std::string* error) override;
  std::vector<Event> EventList(const std::optional<std::string>& serial, std::size_t offset, std::size_t limit,
                               std::string* error) override;
  std::size_t EventCount(const std::optional<std::string>& serial, std::string* error) override;
  std::optional<Event> LatestSnapshot(const std::string& serial, const std::string& operation,
                                      std::string* error) override;
  std::vector<Event> LatestReads(std::string* error) override;
  std::vector<Event> CalibrationEvents(std::string* error) override;
  std::vector<InstrumentSummary> LastSeen(std::string* error) override;
  // The local file's events not yet on the server (none without a server).
  std::vector<Event> PendingEvents(std::size_t limit, std::string* error) override;
  std::size_t PendingCount(std::string* error) override;

  bool Forwards() const { return shared_.has_value(); }
  const StoreLocation& LocalLocation() const { return local_; }
  // True once every event recorded so far is local and forwarded (tests, benches).
  bool WaitUntilForwarded(std::chrono::milliseconds limit);

 private:
  SqlStore& Reader();
  SqlStore& LocalReader();

  StoreLocation local_;
  std::optional<StoreLocation> shared_;
  SqlStoreOptions options_;
  std::unique_ptr<StoreAndForward> recorder_;  // from the first Prepare or Record
  std::unique_ptr<SqlStore> reader_;           // the shared history, else the local file
  std::unique_ptr<SqlStore> localReader_;      // the local file, for what waits to be forwarded
};

// "N events not yet forwarded to the shared history" for a status bar; empty
// when nothing waits, when there is no shared history, or `store` is not one
// of these.
std::string PendingText(Store& store);

}  // namespace kv::history
