// The status bar says how many history events wait for the shared history
// server, so that a technician knows the audit trail has not reached it yet.
#include <gtest/gtest.h>

#include <QLabel>
#include <chrono>
#include <thread>

#include "historydb/local_first_store.h"
#include "window_on_sim.h"

namespace kv {
namespace {

struct PendingCase {
  const char* name;
  bool sharedServer;     // a shared history is configured (and cannot be reached)
  const char* afterGet;  // what the status bar says once the Get is recorded
};

class PendingHistoryStatus : public test::WindowOnSim, public ::testing::WithParamInterface<PendingCase> {
 protected:
  QString Pending() { return window_->findChild<QLabel*>(QStringLiteral("lblPending"))->text(); }

  // The local write runs on the recorder's thread: asks again until it shows.
  QString PendingOnceRecorded() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
      window_->RefreshPendingHistory();
      if (!Pending().isEmpty()) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return Pending();
  }
};

TEST_P(PendingHistoryStatus, SaysWhatWaitsForTheSharedHistory) {
  const PendingCase& c = GetParam();
  history::StoreLocation local;
  local.kind = history::StoreKind::SQLite;
  local.path = dataDir_.filePath(QStringLiteral("History.sqlite")).toStdString();
  std::optional<history::StoreLocation> shared;
  if (c.sharedServer) {
    shared = history::StoreLocation{};
    shared->kind = history::StoreKind::PostgreSQL;
    shared->host = dataDir_.filePath(QStringLiteral("no-server")).toStdString();  // no socket there
    shared->database = "kv";
  }
  history::LocalFirstStore store(local, shared);
  recorder_ = &store;
  ASSERT_NO_FATAL_FAILURE(Start());
  window_->RefreshPendingHistory();
  EXPECT_EQ(Pending(), "") << "nothing recorded yet";
  RunGet();
  const QString expected = QString::fromLatin1(c.afterGet);
  EXPECT_EQ(expected.isEmpty() ? Pending() : PendingOnceRecorded(), expected);
  window_.reset();  // before the store it records in
}

INSTANTIATE_TEST_SUITE_P(
    Stores, PendingHistoryStatus,
    ::testing::Values(PendingCase{"server_away", true, "1 event not yet forwarded to the shared history"},
                      PendingCase{"local_only", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
