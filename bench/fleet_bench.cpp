// fleet_bench: the fleet questions over a history of N instruments with M
// events each, recorded as kvmaint records them (one SqlStore::Record per
// event, reads with the maintenance data file as their snapshot).
//   fleet_bench [--instruments N] [--events M] [--keep DIR]
// Prints how long recording took and each query (the last event of each
// instrument, the latest reads, the calibration events), reading N snapshots,
// and "fleet due" and "fleet audit" whole.
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "cli/cmd_fleet_sources.h"
#include "common/clock.h"
#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "fleet/policy_audit.h"
#include "history/history_event.h"
#include "historydb/sql_store.h"
#include "sim/sim_default_state.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

kv::history::Event MakeEvent(const std::string& serial, const kv::DateTime& when, const char* operation) {
  kv::history::Event event;
  event.serial = serial;
  event.model = kv::history::ModelText("2");
  event.time = kv::history::EventTime(when);
  event.user = "bench";
  event.operation = operation;
  event.result = "ok";
  return event;
}

// Each instrument: a read every tenth event, the others zero, span and
// calibration history in turn, an hour apart; false after saying why.
bool RecordHistory(kv::history::SqlStore& store, int instruments, int events, const std::string& snapshot) {
  const kv::DateTime start{2026, 1, 1, 8, 0, 0};
  for (int n = 0; n < instruments; ++n) {
    const std::string serial = "KV-" + std::to_string(100000 + n);
    for (int e = 0; e < events; ++e) {
      const kv::DateTime when = kv::AddSeconds(start, 3600LL * e + n);
      const char* operation = e % 10 == 0 ? kv::history::kOpRead
                              : e % 3 == 0 ? kv::history::kOpZero
                              : e % 3 == 1 ? kv::history::kOpSpan
                                           : kv::history::kOpCalHistory;
      kv::history::Event event = MakeEvent(serial, when, operation);
      if (event.operation == kv::history::kOpRead) event.snapshot = snapshot;
      if (event.operation == kv::history::kOpZero || event.operation == kv::history::kOpSpan) {
        event.detail = "1  CH4  0; 2  OXY  0; 3  H2S  0; 4  CO   0; 5  CO2  0; 6  IBL  0; 7  ---  2";
      }
      if (event.operation == kv::history::kOpCalHistory) {
        event.detail = "{\"channels\": [\n  {\"channel\": 1, \"gas\": \"CH4\", \"date\": \"" +
                       kv::FormatGeneralDate(when) + "\", \"before\": 48, \"after\": 50, \"unit\": \"%LEL\", "
                       "\"before_text\": \"48 %LEL\", \"after_text\": \"50 %LEL\", \"fitted\": true}\n]}\n";
      }
      const kv::history::RecordOutcome outcome = store.Record(event);
      if (!outcome.recorded) {
        std::fprintf(stderr, "fleet_bench: %s\n", outcome.error.c_str());
        return false;
      }
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int instruments = 1000, events = 100;
  std::string keep;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--instruments") == 0) instruments = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--events") == 0) events = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--keep") == 0) keep = argv[i + 1];
  }
  const std::filesystem::path folder =
      keep.empty() ? std::filesystem::temp_directory_path() / ("fleet_bench." + std::to_string(::getpid()))
                   : std::filesystem::path(keep);
  std::filesystem::create_directories(folder);
  const std::string database = (folder / "History.sqlite").string();
  // --keep DIR with a history from an earlier run asks that one again.
  const bool reuse = !keep.empty() && std::filesystem::exists(database);

  kv::history::StoreLocation location;
  location.kind = kv::history::StoreKind::SQLite;
  location.path = database;
  kv::history::SqlStore store(location);

  kv::clsInstrument record = kv::sim::MakeDemoInstrument();
  const std::string snapshot = kv::MaintenanceFileText(record);
  if (!reuse) {
    const auto recording = Clock::now();
    if (!RecordHistory(store, instruments, events, snapshot)) return 1;
    std::printf("recorded %d instruments x %d events in %.0f ms\n", instruments, events, MsSince(recording));
  }
  std::printf("history %s, %.1f MB\n", database.c_str(),
              static_cast<double>(std::filesystem::file_size(database)) / 1e6);

  std::string error;
  auto timed = [&](const char* what, auto&& query) {
    const auto begin = Clock::now();
    const std::size_t rows = query();
    std::printf("%-22s %8.1f ms  %zu rows%s%s\n", what, MsSince(begin), rows, error.empty() ? "" : "  error: ",
                error.c_str());
  };
  timed("last seen", [&] { return store.LastSeen(&error).size(); });
  timed("latest reads", [&] { return store.LatestReads(&error).size(); });
  timed("calibration events", [&] { return store.CalibrationEvents(&error).size(); });
  timed("read the snapshots", [&] {
    for (int n = 0; n < instruments; ++n) {
      kv::clsInstrument read;
      kv::ReadMaintenanceText(read, snapshot);
    }
    return static_cast<std::size_t>(instruments);
  });
  timed("fleet due (whole)", [&] {
    const std::optional<kv::cli::FleetView> view = kv::cli::GatherFleet(store);
    if (!view) return std::size_t{0};
    return kv::fleet::JudgeFleet(view->instruments, {}, kv::SystemClock().Now(), 30).size();
  });
  timed("fleet audit (whole)", [&] {
    const std::optional<kv::cli::FleetView> view = kv::cli::GatherFleet(store);
    std::size_t compared = 0;
    if (view) {
      for (const auto& [serial, read] : view->latestReads) {
        compared += kv::fleet::DifferencesFromPolicy(record, read).size() + 1 > 0 ? 1 : 0;
      }
    }
    return compared;
  });
  if (keep.empty()) std::filesystem::remove_all(folder);
  return 0;
}
