// history_bench: what recording a read in the history costs beside the read
// itself. A full read of kvsim paced as a 921600 baud line, through the real
// link, then the read recorded (its maintenance data file as the snapshot)
// into an SQLite file and into a private PostgreSQL server: with a store
// opened for the one record after the read; with one prepared on its own
// thread during the read, as each kvmaint run does; and with one kept open,
// as the window does. With --network-delay-ms N, the PostgreSQL server is
// also reached over TCP through a proxy that holds each chunk back N ms each
// way, as a shop's server across a network. Prints figures; asserts nothing.
#include <QCoreApplication>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "history/history_location.h"
#include "history/postgres_server.h"
#include "historydb/local_first_store.h"
#include "historydb/snapshot.h"
#include "historydb/sql_store.h"
#include "link/transactions.h"
#include "link_rig.h"
#include "support/temp_folder.h"

namespace kv::bench {
namespace {

// Starts the delaying proxy in front of the server's Unix socket; the location
// then names the proxy's TCP port. False when it does not start.
bool ThroughLatencyProxy(QProcess& proxy, double delayMs, history::StoreLocation& location) {
  const std::string socket = location.host + "/.s.PGSQL." + std::to_string(location.port ? location.port : 5432);
  proxy.start(QStringLiteral("python3"), {QStringLiteral(KV_LATENCY_PROXY_PATH), QStringLiteral("--to-unix"),
                                          QString::fromStdString(socket), QStringLiteral("--delay-ms"),
                                          QString::number(delayMs)});
  if (!proxy.waitForReadyRead(10000)) return false;
  const int port = QString::fromLatin1(proxy.readLine()).trimmed().toInt();
  if (port <= 0) return false;
  location.host = "127.0.0.1";
  location.port = port;
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double MillisecondsOf(const std::function<bool()>& work, bool* ok) {
  const auto start = std::chrono::steady_clock::now();
  *ok = work() && *ok;
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

bool RecordRead(history::Store& store, const clsInstrument& record) {
  history::Event event = history::EventFor(record, history::kOpRead);
  event.file = "/data/Backup/20260101.kvd";
  event.snapshot = history::SnapshotOf(record);
  const history::RecordOutcome outcome = store.Record(event);
  if (!outcome.recorded) std::fprintf(stderr, "history_bench: %s\n", outcome.error.c_str());
  return outcome.recorded;
}

struct Target {
  std::string name;
  history::StoreLocation location;
  std::unique_ptr<history::SqlStore> kept;  // opened once, as in the window
  std::vector<double> freshMs, preparedMs, keptMs;
};

}  // namespace
}  // namespace kv::bench

int main(int argc, char** argv) {
  using namespace kv;
  using namespace kv::bench;
  QCoreApplication application(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  const qsizetype at = args.indexOf(QStringLiteral("--repeat"));
  const int rounds = at > 0 && at + 1 < args.size() ? std::max(1, args[at + 1].toInt()) : 11;
  const qsizetype delayAt = args.indexOf(QStringLiteral("--network-delay-ms"));
  const double networkDelayMs = delayAt > 0 && delayAt + 1 < args.size() ? args[delayAt + 1].toDouble() : 0.0;
  QProcess proxy;

  testsupport::TempFolder folder("kvhistorybench");
  std::vector<Target> targets;
  history::StoreLocation sqlite;
  sqlite.kind = history::StoreKind::SQLite;
  sqlite.path = folder.File("History.sqlite");
  targets.push_back({"SQLite", sqlite, nullptr, {}, {}, {}});
  std::unique_ptr<history::testing::PostgresServer> server;
  if (history::testing::PostgresServer::Installed()) {
    server = std::make_unique<history::testing::PostgresServer>(true);
    std::string error;
    const std::string url = server->Problem().empty() ? server->NewDatabaseUrl() : "";
    const auto postgres = history::ParseStoreLocation(url, "", &error);
    if (postgres && postgres->kind == history::StoreKind::PostgreSQL) {
      targets.push_back({"PostgreSQL", *postgres, nullptr, {}, {}, {}});
      history::StoreLocation remote = *postgres;
      if (networkDelayMs > 0 && ThroughLatencyProxy(proxy, networkDelayMs, remote)) {
        char name[64];
        std::snprintf(name, sizeof name, "PostgreSQL %g ms away", networkDelayMs);
        targets.push_back({name, remote, nullptr, {}, {}, {}});
      } else if (networkDelayMs > 0) {
        std::fprintf(stderr, "history_bench: the latency proxy did not start\n");
      }
    } else {
      std::fprintf(stderr, "history_bench: no PostgreSQL server: %s\n", server->Problem().c_str());
    }
  }
  for (Target& target : targets) target.kept = std::make_unique<history::SqlStore>(target.location);

  SimulatorProcess sim(QStringLiteral(KV_KVSIM_PATH), {QStringLiteral("--baud"), QStringLiteral("921600")});
  if (sim.Device().isEmpty()) {
    std::fprintf(stderr, "history_bench: kvsim did not start\n");
    return 1;
  }
  LinkRig rig(sim.Device());
  if (!rig.Connect()) {
    std::fprintf(stderr, "history_bench: no answer from kvsim\n");
    return 1;
  }
  bool ok = true;
  clsInstrument record;
  std::vector<double> readMs;
  // Round 0 makes the tables (unmeasured); then every round is measured.
  for (int round = 0; round <= rounds; ++round) {
    const double read = MillisecondsOf([&] { return rig.Run(GetInstrument(rig.Link(), record)); }, &ok);
    // As a kvmaint run records: the store and forward recorder started
    // before the read (a server's events go through the local file); measured
    // from the read's end until the record is written locally and closed.
    for (Target& target : targets) {
      history::StoreLocation local = sqlite;
      local.path = folder.File("Local.sqlite");
      const bool shared = target.location.kind == history::StoreKind::PostgreSQL;
      auto recorder = std::make_unique<history::LocalFirstStore>(
          shared ? local : target.location,
          shared ? std::optional<history::StoreLocation>(target.location) : std::nullopt);
      std::string ignored;
      recorder->Prepare(&ignored);
      rig.Run(GetInstrument(rig.Link(), record));
      const double prepared = MillisecondsOf([&] {
        history::Event event = history::EventFor(record, history::kOpRead);
        event.snapshot = history::SnapshotOf(record);
        const history::RecordOutcome outcome = recorder->Record(event);
        recorder.reset();
        return outcome.recorded;
      }, &ok);
      if (round > 0) target.preparedMs.push_back(prepared);
    }
    for (Target& target : targets) {
      const double fresh = MillisecondsOf([&] {
        history::SqlStore store(target.location);
        return RecordRead(store, record);
      }, &ok);
      const double kept = MillisecondsOf([&] { return RecordRead(*target.kept, record); }, &ok);
      if (round == 0) continue;
      target.freshMs.push_back(fresh);
      target.keptMs.push_back(kept);
    }
    if (round > 0) readMs.push_back(read);
  }
  const double readMedian = Median(readMs);
  std::printf("rounds: %d; snapshot: %zu bytes\n", rounds, history::SnapshotOf(record).size());
  std::printf("%-44s %10s %10s\n", "", "median ms", "of read");
  std::printf("%-44s %10.1f %9.1f%%\n", "full read, kvsim --baud 921600", readMedian, 100.0);
  for (const Target& target : targets) {
    const double fresh = Median(target.freshMs);
    const double kept = Median(target.keptMs);
    std::printf("%-44s %10.2f %9.2f%%\n", (target.name + ", opened per record").c_str(), fresh,
                100.0 * fresh / readMedian);
    const double prepared = Median(target.preparedMs);
    std::printf("%-44s %10.2f %9.2f%%\n", (target.name + ", prepared during the read").c_str(),
                prepared, 100.0 * prepared / readMedian);
    std::printf("%-44s %10.2f %9.2f%%\n", (target.name + ", kept open").c_str(), kept,
                100.0 * kept / readMedian);
  }
  return ok ? 0 : 1;
}
