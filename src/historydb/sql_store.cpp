#include "historydb/sql_store.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <filesystem>

#include "history/history_event.h"
#include "historydb/sql_schema.h"
#include "historydb/statement_watchdog.h"
#include "qtedge/latin1.h"

namespace kv::history {
namespace {

// The columns of a list (no snapshot bytes, whether there is one), then the
// snapshot and its format for the calls that return it.
constexpr const char* kListColumns =
    "id, serial, model, event_time, user_name, operation, result, detail, file, uid,"
    " CASE WHEN snapshot IS NULL OR length(snapshot) = 0 THEN 0 ELSE 1 END";
constexpr const char* kSnapshotColumns = ", snapshot, snapshot_format";
constexpr int kSnapshotColumn = 11;

QString NewConnectionName() {
  static std::atomic<unsigned long long> next{0};
  return QStringLiteral("kv-history-%1").arg(++next);
}

std::string ErrorText(const QSqlError& error) {
  const std::string text = ToLatin1(error.text().trimmed());
  return text.empty() ? "unknown database error" : text;
}

// Another program holds the SQLite file: worth trying again shortly.
bool IsBusy(const std::string& error) {
  return error.find("locked") != std::string::npos || error.find("busy") != std::string::npos;
}

QByteArray AsBytes(const std::string& bytes) {
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string Latin1Value(const QVariant& value) { return value.isNull() ? "" : ToLatin1(value.toString()); }

QString Select(const char* columns, bool withSnapshot, const char* rest) {
  return QStringLiteral("SELECT %1%2 FROM events %3")
      .arg(QLatin1String(columns), QLatin1String(withSnapshot ? kSnapshotColumns : ""), QLatin1String(rest));
}

Event EventFromRow(const QSqlQuery& row, bool withSnapshot) {
  Event event;
  event.id = row.value(0).toLongLong();
  event.serial = Latin1Value(row.value(1));
  event.model = Latin1Value(row.value(2));
  event.time = Latin1Value(row.value(3));
  event.user = Latin1Value(row.value(4));
  event.operation = Latin1Value(row.value(5));
  event.result = Latin1Value(row.value(6));
  event.detail = Latin1Value(row.value(7));
  event.file = Latin1Value(row.value(8));
  event.uid = Latin1Value(row.value(9));
  event.hasSnapshot = row.value(10).toInt() != 0;
  if (withSnapshot) {
    // A snapshot that does not expand is returned as stored: the file reader
    // then says it is no maintenance file.
    const QByteArray stored = row.value(kSnapshotColumn).toByteArray();
    const QByteArray snapshot =
        ExpandSnapshot(stored, row.value(kSnapshotColumn + 1).toInt()).value_or(stored);
    event.snapshot.assign(snapshot.constData(), static_cast<std::size_t>(snapshot.size()));
  }
  return event;
}

std::string SerialFilter(const std::optional<std::string>& serial) {
  return serial ? "WHERE serial = ? " : "";
}

}  // namespace

SqlStore::SqlStore(StoreLocation location, SqlStoreOptions options)
    : location_(std::move(location)), options_(std::move(options)), connection_(NewConnectionName()) {
  if (location_.kind == StoreKind::PostgreSQL) {
    watchdog_ = std::make_unique<StatementWatchdog>(std::chrono::milliseconds(options_.statementTimeoutMs + 1000));
  }
}

SqlStore::~SqlStore() {
  if (QSqlDatabase::contains(connection_)) {
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
  }
}

void SqlStore::Drop() {
  open_ = false;
  if (QSqlDatabase::contains(connection_)) QSqlDatabase::database(connection_, false).close();
}

void SqlStore::Interrupt() {
  if (watchdog_) watchdog_->CutNow();
}

std::string SqlStore::QueryError(const QSqlQuery& query) {
  // A table another program dropped makes Qt say "Parameter count mismatch".
  const QSqlDatabase db = QSqlDatabase::database(connection_, false);
  if (db.isOpen() && !db.tables().contains(QStringLiteral("events"))) {
    return "the history database " + location_.Describe() +
           " has no events table (it was changed by another program)";
  }
  return ErrorText(query.lastError());
}

bool SqlStore::Run(QSqlQuery& query, std::string* error) {
  const QSqlDatabase db = QSqlDatabase::database(connection_, false);
  if (watchdog_) {
    const QVariant handle = db.driver()->handle();
    watchdog_->Arm(PostgresSocket(&handle));
  }
  const bool ok = query.exec();
  if (watchdog_) watchdog_->Disarm();
  if (ok) return true;
  *error = QueryError(query);
  Drop();
  return false;
}

bool SqlStore::Prepare(std::string* error) {
  if (open_) return true;
  const std::string where = "cannot open the history database " + location_.Describe() + ": ";
  const bool postgres = location_.kind == StoreKind::PostgreSQL;
  const QString driver = postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
  if (!QSqlDatabase::isDriverAvailable(driver)) {
    *error = where + "the Qt SQL driver " + ToLatin1(driver) + " is not installed";
    return false;
  }
  QSqlDatabase db = QSqlDatabase::contains(connection_)
                        ? QSqlDatabase::database(connection_, false)
                        : QSqlDatabase::addDatabase(driver, connection_);
  if (postgres) {
    db.setHostName(ToQString(location_.host));
    if (location_.port != 0) db.setPort(location_.port);
    db.setDatabaseName(ToQString(location_.database));
    db.setUserName(ToQString(location_.user));
    db.setPassword(ToQString(location_.password));
    // Keepalives and a TCP user time-out notice a server that went away
    // while the connection was idle or sending.
    db.setConnectOptions(QStringLiteral("connect_timeout=%1;keepalives=1;keepalives_idle=5;"
                                        "keepalives_interval=2;keepalives_count=2;tcp_user_timeout=%2")
                             .arg(options_.connectTimeoutSeconds)
                             .arg(options_.statementTimeoutMs));
  } else {
    // SQLite would create the folder's file but not the folder; a missing
    // folder is said as such rather than "out of memory".
    const std::filesystem::path file(location_.path);
    std::error_code ignored;
    if (file.has_parent_path() && !std::filesystem::is_directory(file.parent_path(), ignored)) {
      *error = where + "the folder " + file.parent_path().string() + " does not exist";
      return false;
    }
    db.setDatabaseName(QString::fromLocal8Bit(location_.path.c_str()));
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(options_.busyTimeoutMs));
  }
  if (!db.open()) {
    *error = where + ErrorText(db.lastError());
    return false;
  }
  if (postgres) {
    // The server ends a statement that runs too long; the watchdog ends one
    // to a server that no longer answers at all.
    // SET takes no parameters, so it is sent as it is, not prepared.
    QSqlQuery limit(db);
    const QVariant handle = db.driver()->handle();
    watchdog_->Arm(PostgresSocket(&handle));
    const bool limited = limit.exec(QStringLiteral("SET statement_timeout = %1").arg(options_.statementTimeoutMs));
    watchdog_->Disarm();
    if (!limited) {
      *error = where + ErrorText(limit.lastError());
      db.close();
      return false;
    }
  } else {
    // A write-ahead log: a record appends to it without waiting for the disk
    // twice, and readers never block the writer. A file that cannot switch
    // (read-only) keeps its journal; the record then says why it failed.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
  }
  std::string why;
  if (watchdog_) {
    // A migration may convert every stored snapshot: a limit of its own.
    const QVariant handle = db.driver()->handle();
    watchdog_->Arm(PostgresSocket(&handle), std::chrono::minutes(5));
  }
  const bool migrated = MigrateSchema(db, location_.kind, &why);
  if (watchdog_) watchdog_->Disarm();
  if (!migrated) {
    db.close();
    *error = where + why;
    return false;
  }
  open_ = true;
  return true;
}

RecordOutcome SqlStore::Record(const Event& event) {
  RecordOutcome outcome;
  const auto fail = [&](std::string why) {
    outcome.retry = location_.kind == StoreKind::PostgreSQL || IsBusy(why);
    outcome.error = std::move(why);
    return outcome;
  };
  std::string error;
  if (!Prepare(&error)) return fail(error);
  const std::string uid = event.uid.empty() ? NewEventUid() : event.uid;
  const bool local = location_.kind == StoreKind::SQLite;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  // One statement is its own transaction: no BEGIN and COMMIT around it,
  // which would cost a server across a network two more round trips.
  query.prepare(QStringLiteral(
      "INSERT INTO events (serial, model, event_time, user_name, operation, result, detail, file, "
      "snapshot, snapshot_format, uid, forwarded) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
      " ON CONFLICT (uid) DO NOTHING RETURNING id"));
  for (const std::string* text : {&event.serial, &event.model, &event.time, &event.user, &event.operation,
                                  &event.result, &event.detail, &event.file}) {
    query.addBindValue(ToQString(*text));
  }
  // No snapshot stays empty: compressed, nothing would be four bytes.
  query.addBindValue(event.snapshot.empty() ? AsBytes(event.snapshot) : CompressSnapshot(AsBytes(event.snapshot)));
  query.addBindValue(event.snapshot.empty() ? kSnapshotPlain : kSnapshotCompressed);
  query.addBindValue(ToQString(uid));
  query.addBindValue(local ? 0 : 1);
  const std::string where = "cannot record in the history database " + location_.Describe() + ": ";
  if (!Run(query, &error)) return fail(where + error);
  if (!query.next()) {
    // Kept already (a forward repeated after its answer was lost): its id.
    query.finish();
    query.prepare(QStringLiteral("SELECT id FROM events WHERE uid = ?"));
    query.addBindValue(ToQString(uid));
    if (!Run(query, &error)) return fail(where + error);
    if (!query.next()) return fail(where + "the event vanished while it was recorded");
  }
  outcome.id = query.value(0).toLongLong();
  query.finish();
  outcome.recorded = true;
  return outcome;
}

std::vector<InstrumentSummary> SqlStore::Instruments(std::string* error) {
  std::vector<InstrumentSummary> instruments;
  if (!Prepare(error)) return instruments;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.prepare(QStringLiteral(
      "SELECT e.serial,"
      " (SELECT m.model FROM events m WHERE m.serial = e.serial AND m.model <> ''"
      "  ORDER BY m.event_time DESC, m.id DESC LIMIT 1),"
      " MAX(e.event_time),"
      " MAX(CASE WHEN e.operation = 'read' AND e.result = 'ok' THEN e.event_time END),"
      " MAX(CASE WHEN e.operation IN ('zero', 'span') AND e.result = 'ok' THEN e.event_time END)"
      " FROM events e GROUP BY e.serial ORDER BY e.serial"));
  if (!Run(query, error)) return instruments;
  while (query.next()) {
    instruments.push_back({Latin1Value(query.value(0)), Latin1Value(query.value(1)),
                           Latin1Value(query.value(2)), Latin1Value(query.value(3)),
                           Latin1Value(query.value(4))});
  }
  return instruments;
}

std::vector<Event> SqlStore::Events(const std::optional<std::string>& serial, std::string* error) {
  std::vector<Event> events;
  if (!Prepare(error)) return events;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.setForwardOnly(true);
  const std::string rest = SerialFilter(serial) + "ORDER BY event_time, id";
  query.prepare(Select(kListColumns, true, rest.c_str()));
  if (serial) query.addBindValue(ToQString(*serial));
  if (!Run(query, error)) return events;
  while (query.next()) events.push_back(EventFromRow(query, true));
  return events;
}

std::vector<Event> SqlStore::EventList(const std::optional<std::string>& serial, std::size_t offset,
                                       std::size_t limit, std::string* error) {
  std::vector<Event> events;
  if (!Prepare(error)) return events;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.setForwardOnly(true);
  const std::string rest = SerialFilter(serial) + "ORDER BY event_time, id LIMIT ? OFFSET ?";
  query.prepare(Select(kListColumns, false, rest.c_str()));
  if (serial) query.addBindValue(ToQString(*serial));
  query.addBindValue(QVariant::fromValue<qlonglong>(static_cast<qlonglong>(std::min<std::size_t>(limit, INT64_MAX))));
  query.addBindValue(QVariant::fromValue<qlonglong>(static_cast<qlonglong>(offset)));
  if (!Run(query, error)) return events;
  while (query.next()) events.push_back(EventFromRow(query, false));
  return events;
}

std::size_t SqlStore::EventCount(const std::optional<std::string>& serial, std::string* error) {
  if (!Prepare(error)) return 0;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.prepare(QStringLiteral("SELECT COUNT(*) FROM events %1").arg(QLatin1String(SerialFilter(serial).c_str())));
  if (serial) query.addBindValue(ToQString(*serial));
  if (!Run(query, error) || !query.next()) return 0;
  return static_cast<std::size_t>(query.value(0).toLongLong());
}

std::optional<Event> SqlStore::LatestSnapshot(const std::string& serial, const std::string& operation,
                                              std::string* error) {
  if (!Prepare(error)) return std::nullopt;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.prepare(Select(kListColumns, true,
                       "WHERE serial = ? AND operation = ? AND result = 'ok' AND snapshot IS NOT NULL"
                       " AND length(snapshot) > 0 ORDER BY event_time DESC, id DESC LIMIT 1"));
  query.addBindValue(ToQString(serial));
  query.addBindValue(ToQString(operation));
  if (!Run(query, error) || !query.next()) return std::nullopt;
  return EventFromRow(query, true);
}

std::optional<Event> SqlStore::EventById(std::int64_t id, std::string* error) {
  if (!Prepare(error)) return std::nullopt;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.prepare(Select(kListColumns, true, "WHERE id = ?"));
  query.addBindValue(QVariant::fromValue<qlonglong>(id));
  if (!Run(query, error)) return std::nullopt;
  if (!query.next()) {
    *error = "no event " + std::to_string(id) + " in the history";
    return std::nullopt;
  }
  return EventFromRow(query, true);
}

std::vector<Event> SqlStore::PendingEvents(std::size_t limit, std::string* error) {
  std::vector<Event> events;
  if (!Prepare(error)) return events;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.setForwardOnly(true);
  query.prepare(Select(kListColumns, true, "WHERE forwarded = 0 ORDER BY id LIMIT ?"));
  query.addBindValue(QVariant::fromValue<qlonglong>(static_cast<qlonglong>(std::min<std::size_t>(limit, INT64_MAX))));
  if (!Run(query, error)) return events;
  while (query.next()) events.push_back(EventFromRow(query, true));
  return events;
}

std::size_t SqlStore::PendingCount(std::string* error) {
  if (!Prepare(error)) return 0;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.prepare(QStringLiteral("SELECT COUNT(*) FROM events WHERE forwarded = 0"));
  if (!Run(query, error) || !query.next()) return 0;
  return static_cast<std::size_t>(query.value(0).toLongLong());
}

bool SqlStore::MarkForwarded(const std::vector<std::string>& uids, std::string* error) {
  if (!Prepare(error)) return false;
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  if (!db.transaction()) {
    *error = ErrorText(db.lastError());
    Drop();
    return false;
  }
  QSqlQuery query(db);
  query.prepare(QStringLiteral("UPDATE events SET forwarded = 1 WHERE uid = ?"));
  for (const std::string& uid : uids) {
    query.addBindValue(ToQString(uid));
    if (!Run(query, error)) return false;  // Run closed the connection: the transaction is gone
  }
  if (db.commit()) return true;
  *error = ErrorText(db.lastError());
  db.rollback();
  Drop();
  return false;
}

// ---- fleet queries: only the rows and the snapshots they use.

std::vector<Event> SqlStore::FleetQuery(const QString& statement, bool withSnapshot, std::string* error) {
  std::vector<Event> events;
  if (!Prepare(error)) return events;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.setForwardOnly(true);
  query.prepare(statement);
  if (!Run(query, error)) return events;
  while (query.next()) events.push_back(EventFromRow(query, withSnapshot));
  return events;
}

// The latest read of each serial number, found through the (serial, time) index.
std::vector<Event> SqlStore::LatestReads(std::string* error) {
  return FleetQuery(Select(kListColumns, true,
                           "WHERE id IN ("
                           " SELECT (SELECT r.id FROM events r WHERE r.serial = s.serial AND r.operation = 'read'"
                           "         AND r.result = 'ok' AND length(r.snapshot) > 0"
                           "         ORDER BY r.event_time DESC, r.id DESC LIMIT 1)"
                           " FROM (SELECT DISTINCT serial FROM events) s)"
                           " ORDER BY serial"),
                    true, error);
}

// Per serial number through the index: its latest calibration history, then
// the calibrations from that moment on; no scan over the reads' snapshots.
std::vector<Event> SqlStore::CalibrationEvents(std::string* error) {
  return FleetQuery(Select(kListColumns, false,
                           "WHERE id IN ("
                           " SELECT x.id FROM (SELECT DISTINCT serial FROM events) s JOIN events x ON x.serial = s.serial"
                           " WHERE x.event_time >= COALESCE((SELECT c.event_time FROM events c WHERE c.serial = s.serial"
                           "         AND c.operation = 'calibration-history' AND c.result = 'ok'"
                           "         ORDER BY c.event_time DESC, c.id DESC LIMIT 1), '')"
                           " AND x.operation IN ('zero', 'span', 'calibration-history') AND x.result = 'ok')"
                           " ORDER BY event_time, id"),
                    false, error);
}

// From the index alone.
std::vector<InstrumentSummary> SqlStore::LastSeen(std::string* error) {
  std::vector<InstrumentSummary> seen;
  if (!Prepare(error)) return seen;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.setForwardOnly(true);
  query.prepare(QStringLiteral("SELECT serial, MAX(event_time) FROM events GROUP BY serial ORDER BY serial"));
  if (!Run(query, error)) return seen;
  while (query.next()) seen.push_back({Latin1Value(query.value(0)), {}, Latin1Value(query.value(1)), {}, {}});
  return seen;
}

}  // namespace kv::history
