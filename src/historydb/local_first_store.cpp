#include "historydb/local_first_store.h"

#include <algorithm>

#include "history/event_spool.h"

namespace kv::history {

LocalFirstStore::LocalFirstStore(StoreLocation local, std::optional<StoreLocation> shared,
                                 SqlStoreOptions options)
    : local_(std::move(local)), shared_(std::move(shared)), options_(std::move(options)) {}

LocalFirstStore::~LocalFirstStore() {
  recorder_.reset();  // before the readers: its end may report through stderr
}

bool LocalFirstStore::Prepare(std::string* /*error*/) {
  if (recorder_) return true;
  SqlStoreOptions recording = options_;
  // The recorder's thread tries again rather than wait long: its end is bounded.
  recording.busyTimeoutMs = std::min(options_.recorderBusyTimeoutMs, options_.busyTimeoutMs);
  StoreFactory local = [location = local_, recording] {
    return std::make_unique<SqlStore>(location, recording);
  };
  StoreFactory remote;
  if (shared_) {
    remote = [location = *shared_, recording] { return std::make_unique<SqlStore>(location, recording); };
  }
  ForwardingOptions forwarding = options_.forwarding;
  if (forwarding.spoolFolder.empty()) forwarding.spoolFolder = SpoolFolderOf(local_.path);
  recorder_ = std::make_unique<StoreAndForward>(std::move(local), std::move(remote), forwarding,
                                                options_.notRecorded);
  return true;
}

RecordOutcome LocalFirstStore::Record(const Event& event) {
  std::string ignored;
  Prepare(&ignored);
  return recorder_->Record(event);
}

bool LocalFirstStore::WaitUntilForwarded(std::chrono::milliseconds limit) {
  return !recorder_ || recorder_->WaitUntilForwarded(limit);
}

SqlStore& LocalFirstStore::Reader() {
  if (!shared_) return LocalReader();
  if (!reader_) reader_ = std::make_unique<SqlStore>(*shared_, options_);
  return *reader_;
}

SqlStore& LocalFirstStore::LocalReader() {
  if (!localReader_) localReader_ = std::make_unique<SqlStore>(local_, options_);
  return *localReader_;
}

std::vector<InstrumentSummary> LocalFirstStore::Instruments(std::string* error) {
  return Reader().Instruments(error);
}

std::vector<Event> LocalFirstStore::Events(const std::optional<std::string>& serial, std::string* error) {
  return Reader().Events(serial, error);
}

std::optional<Event> LocalFirstStore::EventById(std::int64_t id, std::string* error) {
  return Reader().EventById(id, error);
}

std::vector<Event> LocalFirstStore::EventList(const std::optional<std::string>& serial, std::size_t offset,
                                              std::size_t limit, std::string* error) {
  return Reader().EventList(serial, offset, limit, error);
}

std::size_t LocalFirstStore::EventCount(const std::optional<std::string>& serial, std::string* error) {
  return Reader().EventCount(serial, error);
}

std::optional<Event> LocalFirstStore::LatestSnapshot(const std::string& serial, const std::string& operation,
                                                     std::string* error) {
  return Reader().LatestSnapshot(serial, operation, error);
}

std::vector<Event> LocalFirstStore::LatestReads(std::string* error) { return Reader().LatestReads(error); }

std::vector<Event> LocalFirstStore::CalibrationEvents(std::string* error) {
  return Reader().CalibrationEvents(error);
}

std::vector<InstrumentSummary> LocalFirstStore::LastSeen(std::string* error) { return Reader().LastSeen(error); }

std::vector<Event> LocalFirstStore::PendingEvents(std::size_t limit, std::string* error) {
  if (!shared_) return {};
  return LocalReader().PendingEvents(limit, error);
}

std::size_t LocalFirstStore::PendingCount(std::string* error) {
  if (!shared_) return 0;
  return LocalReader().PendingCount(error);
}

std::string PendingText(Store& store) {
  auto* history = dynamic_cast<LocalFirstStore*>(&store);
  if (history == nullptr || !history->Forwards()) return {};
  std::string error;
  const std::size_t count = history->PendingCount(&error);
  if (!error.empty() || count == 0) return {};
  return std::to_string(count) + (count == 1 ? " event" : " events") + " not yet forwarded to the shared history";
}

}  // namespace kv::history
