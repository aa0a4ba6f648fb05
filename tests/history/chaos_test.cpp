// The recorder against a private PostgreSQL server that misbehaves while
// twenty instruments' events are recorded: suspended longer than the
// statement limit, continued, killed, started again. No Record call waits on
// the server, the end of a run does not wait for a suspended server, and at
// the end the server holds every event exactly once.
#include <gmock/gmock.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <thread>

#include "history/postgres_server.h"
#include "historydb/local_first_store.h"
#include "kvmaint/harness/inprocess_support.h"

namespace kv::history::testing {
namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

constexpr int kInstruments = 20;
constexpr int kStatementLimitMs = 500;
constexpr milliseconds kRecordBound{100};  // the local write's wait (50 ms) with room for a loaded machine

SqlStoreOptions ChaosOptions(std::vector<std::string>* reports) {
  SqlStoreOptions options;
  options.statementTimeoutMs = kStatementLimitMs;
  options.connectTimeoutSeconds = 2;
  options.forwarding.serverRetryFirst = milliseconds(100);
  options.forwarding.serverRetryLongest = milliseconds(500);
  options.notRecorded = [reports](const std::string& text) { reports->push_back(text); };
  return options;
}

// Records an event of one of the instruments every few milliseconds until
// stopped, noting how long each Record call took.
class Instruments {
 public:
  explicit Instruments(Store& store) : store_(store), thread_([this] { Run(); }) {}
  ~Instruments() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  int Recorded() const { return recorded_; }
  milliseconds Longest() const { return longest_; }
  // The median call, in microseconds.
  long long MedianMicroseconds() {
    if (took_.empty()) return 0;
    std::nth_element(took_.begin(), took_.begin() + static_cast<long>(took_.size() / 2), took_.end());
    return took_[took_.size() / 2];
  }
  std::vector<std::string> Errors() const { return errors_; }

 private:
  void Run() {
    for (int n = 0; !stop_; ++n) {
      Event event;
      event.serial = "KV" + std::to_string(1000 + n % kInstruments);
      event.model = "KORVIN";
      event.time = "2026-12-11 10:" + std::to_string(10 + n / 600) + ":" + std::to_string(10 + (n / 10) % 50);
      event.operation = kOpRead;
      event.result = "ok";
      event.snapshot = "snapshot " + std::to_string(n);
      const auto start = SteadyClock::now();
      const RecordOutcome outcome = store_.Record(event);
      const auto took = SteadyClock::now() - start;
      longest_ = std::max(longest_, std::chrono::duration_cast<milliseconds>(took));
      took_.push_back(std::chrono::duration_cast<std::chrono::microseconds>(took).count());
      if (outcome.recorded) {
        ++recorded_;
      } else {
        errors_.push_back(outcome.error);
      }
      std::this_thread::sleep_for(milliseconds(15));
    }
  }

  Store& store_;
  std::atomic<bool> stop_{false};
  int recorded_ = 0;
  milliseconds longest_{0};
  std::vector<long long> took_;
  std::vector<std::string> errors_;
  std::thread thread_;
};

// The uids the server holds, with how often each is there.
std::map<std::string, int> ServerUids(const StoreLocation& shared) {
  std::map<std::string, int> uids;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("chaos-check"));
    db.setHostName(QString::fromStdString(shared.host));
    db.setDatabaseName(QString::fromStdString(shared.database));
    db.setUserName(QString::fromStdString(shared.user));
    EXPECT_TRUE(db.open());
    QSqlQuery query(db);
    EXPECT_TRUE(query.exec(QStringLiteral("SELECT uid FROM events")));
    while (query.next()) ++uids[query.value(0).toString().toStdString()];
  }
  QSqlDatabase::removeDatabase(QStringLiteral("chaos-check"));
  return uids;
}

std::vector<std::string> LocalUids(const StoreLocation& local) {
  SqlStore store(local);
  std::string error;
  std::vector<std::string> uids;
  for (const Event& event : store.EventList(std::nullopt, 0, 1000000, &error)) uids.push_back(event.uid);
  EXPECT_EQ(error, "");
  return uids;
}

TEST(ChaosTest, EveryEventReachesTheServerOnceWhateverItDoes) {
  if (!PostgresServer::Installed()) GTEST_SKIP() << "no PostgreSQL server programs under /usr/lib/postgresql";
  inproc::PrepareProcess();
  PostgresServer server;
  ASSERT_EQ(server.Problem(), "");
  const std::string url = server.NewDatabaseUrl();
  ASSERT_EQ(server.Problem(), "");
  inproc::TempDir dir;
  std::string error;
  const std::optional<StoreLocation> shared = ParseStoreLocation(url, "", &error);
  ASSERT_TRUE(shared.has_value()) << error;
  StoreLocation local;
  local.kind = StoreKind::SQLite;
  local.path = dir.File("History.sqlite");
  std::vector<std::string> reports;
  const auto pause = [](int ms) { std::this_thread::sleep_for(milliseconds(ms)); };

  auto store = std::make_unique<LocalFirstStore>(local, *shared, ChaosOptions(&reports));
  std::string ignored;
  store->Prepare(&ignored);  // as a program run does before its first event
  ASSERT_TRUE(store->WaitUntilForwarded(milliseconds(5000)));  // the file open, the server reached
  {
    Instruments instruments(*store);
    pause(300);
    server.Suspend();  // longer than the statement limit and the connection time-out
    pause(3000);
    server.Resume();
    pause(300);
    server.Kill();
    pause(300);
    ASSERT_TRUE(server.Start()) << server.Problem();
    pause(300);
    instruments.Stop();
    EXPECT_THAT(instruments.Errors(), ::testing::IsEmpty());
    EXPECT_LT(instruments.Longest(), kRecordBound);
    std::printf("chaos: %d events, Record median %lld us, longest %lld ms\n", instruments.Recorded(),
                instruments.MedianMicroseconds(), static_cast<long long>(instruments.Longest().count()));
  }
  EXPECT_TRUE(store->WaitUntilForwarded(milliseconds(20000)));

  // The end of a run with the server suspended: bounded, and what it did not
  // forward goes with the next run.
  server.Suspend();
  {
    Instruments instruments(*store);
    pause(200);
  }
  const auto ending = SteadyClock::now();
  store.reset();
  const auto took = std::chrono::duration_cast<milliseconds>(SteadyClock::now() - ending);
  EXPECT_LT(took, milliseconds(1500));
  std::printf("chaos: the end with the server suspended took %lld ms\n", static_cast<long long>(took.count()));
  server.Resume();
  store = std::make_unique<LocalFirstStore>(local, *shared, ChaosOptions(&reports));
  store->Prepare(&ignored);
  EXPECT_TRUE(store->WaitUntilForwarded(milliseconds(20000)));
  store.reset();
  EXPECT_THAT(reports, ::testing::IsEmpty());

  const std::vector<std::string> recorded = LocalUids(local);
  const std::map<std::string, int> onServer = ServerUids(*shared);
  EXPECT_EQ(onServer.size(), recorded.size());
  for (const std::string& uid : recorded) {
    const auto found = onServer.find(uid);
    EXPECT_TRUE(found != onServer.end() && found->second == 1) << uid;
  }
}

}  // namespace
}  // namespace kv::history::testing
