// history_fill: records COUNT reads of one instrument into the history at
// LOCATION through the programs' own recording path (ChooseHistoryStore's
// store and forward), each with a full maintenance data file as its snapshot
// (one setting changed per read, as successive reads differ). With --plain
// FILE it also writes the same events into FILE in the form stores had before
// snapshots were compressed, for the size beside it. Used by
// history_reads_bench.py.
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "files/kvd_writer.h"
#include "historydb/history_factory.h"
#include "historydb/local_first_store.h"
#include "support/sample_record.h"

namespace {

std::string EventTime(int i) {
  char text[32];
  std::snprintf(text, sizeof text, "2026-%02d-%02d %02d:%02d:%02d", 1 + i / 100000 % 12, 1 + i / 3600 % 28,
                i / 60 % 24, i % 60, i * 7 % 60);
  return text;
}

bool WritePlain(const std::string& file, const std::string& serial, const std::vector<std::string>& snapshots,
                int count) {
  bool ok = false;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
    db.setDatabaseName(QString::fromStdString(file));
    QSqlQuery query(db);
    ok = db.open() &&
         query.exec(QStringLiteral("CREATE TABLE events (id INTEGER PRIMARY KEY AUTOINCREMENT, serial TEXT NOT NULL,"
                                   " model TEXT NOT NULL, event_time TEXT NOT NULL, user_name TEXT NOT NULL,"
                                   " operation TEXT NOT NULL, result TEXT NOT NULL, detail TEXT NOT NULL,"
                                   " file TEXT NOT NULL, snapshot BLOB)")) &&
         query.exec(QStringLiteral("CREATE INDEX events_by_serial ON events (serial, event_time, id)")) &&
         db.transaction();
    query.prepare(QStringLiteral("INSERT INTO events (serial, model, event_time, user_name, operation, result,"
                                 " detail, file, snapshot) VALUES (?, 'KORVIN', ?, 'bench', 'read', 'ok', '',"
                                 " '/data/Backup/read.kvd', ?)"));
    for (int i = 0; ok && i < count; ++i) {
      query.addBindValue(QString::fromStdString(serial));
      query.addBindValue(QString::fromStdString(EventTime(i)));
      const std::string& snapshot = snapshots[static_cast<std::size_t>(i) % snapshots.size()];
      query.addBindValue(QByteArray(snapshot.data(), static_cast<qsizetype>(snapshot.size())));
      ok = query.exec();
    }
    ok = ok && db.commit();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("plain"));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kv;
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 4 && !(args.size() == 6 && args[4] == QStringLiteral("--plain"))) {
    std::fputs("usage: history_fill LOCATION COUNT SERIAL [--plain FILE]\n", stderr);
    return 2;
  }
  const std::string location = args[1].toStdString();
  const int count = args[2].toInt();
  const std::string serial = args[3].toStdString();
  // A few distinct snapshots, cycled: successive reads differ in one setting.
  std::vector<std::string> snapshots;
  for (int contrast = 0; contrast < 16; ++contrast) {
    clsInstrument record = testsupport::SampleRecord();
    record.SetLcdContrast(static_cast<Integer>(contrast));
    snapshots.push_back(MaintenanceFileText(record));
  }
  history::SqlStoreOptions options;
  options.forwarding.recordWait = std::chrono::milliseconds(1000);  // the fill waits for each write
  history::ChosenHistory chosen =
      history::ChooseHistoryStore(location, std::filesystem::temp_directory_path(), options);
  if (!chosen.store) {
    std::fprintf(stderr, "history_fill: %s\n", chosen.error.c_str());
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    history::Event event;
    event.serial = serial;
    event.model = "KORVIN";
    event.time = EventTime(i);
    event.user = "bench";
    event.operation = history::kOpRead;
    event.result = "ok";
    event.file = "/data/Backup/read.kvd";
    event.snapshot = snapshots[static_cast<std::size_t>(i) % snapshots.size()];
    const history::RecordOutcome outcome = chosen.store->Record(event);
    if (!outcome.recorded) {
      std::fprintf(stderr, "history_fill: event %d: %s\n", i, outcome.error.c_str());
      return 1;
    }
  }
  auto* store = dynamic_cast<history::LocalFirstStore*>(chosen.store.get());
  if (store != nullptr && !store->WaitUntilForwarded(std::chrono::minutes(10))) {
    std::fputs("history_fill: the events were not all written\n", stderr);
    return 1;
  }
  chosen.store.reset();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("recorded %d events in %.1f s; snapshot %zu bytes\n", count, seconds, snapshots.front().size());
  if (args.size() == 6 && !WritePlain(args[5].toStdString(), serial, snapshots, count)) {
    std::fputs("history_fill: the plain store was not written\n", stderr);
    return 1;
  }
  return 0;
}
