// Records COUNT events for serial number TAG into the history at LOCATION,
// as fast as it can: two of these at once show whether a store loses events
// when programs record at the same time. Exit status 0 when every event was
// recorded; otherwise the first error on stderr.
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "history/history_location.h"
#include "historydb/sql_store.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 4) {
    std::fputs("usage: history_writer LOCATION COUNT TAG\n", stderr);
    return 2;
  }
  std::string error;
  const auto location = kv::history::ParseStoreLocation(argv[1], "", &error);
  if (!location) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  kv::history::SqlStore store(*location);
  const int count = std::stoi(argv[2]);
  for (int i = 0; i < count; ++i) {
    kv::history::Event event;
    event.serial = argv[3];
    event.time = "2026-01-01 00:00:00";
    event.operation = kv::history::kOpRead;
    event.result = "ok";
    event.detail = std::to_string(i);
    event.snapshot = std::string(512, static_cast<char>('a' + i % 26));
    const kv::history::RecordOutcome outcome = store.Record(event);
    if (!outcome.recorded) {
      std::fprintf(stderr, "event %d: %s\n", i, outcome.error.c_str());
      return 1;
    }
  }
  return 0;
}
