#include "historydb/sql_store.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <filesystem>

#include "historydb/sql_schema.h"
#include "qtedge/latin1.h"

namespace kv::history {
namespace {

constexpr const char* kEventColumns =
    "id, serial, model, event_time, user_name, operation, result, detail, file, snapshot";

QString NewConnectionName() {
  static std::atomic<unsigned long long> next{0};
  return QStringLiteral("kv-history-%1").arg(++next);
}

std::string ErrorText(const QSqlError& error) {
  const std::string text = ToLatin1(error.text().trimmed());
  return text.empty() ? "unknown database error" : text;
}

QByteArray AsBytes(const std::string& bytes) {
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string Latin1Value(const QVariant& value) { return value.isNull() ? "" : ToLatin1(value.toString()); }

Event EventFromRow(const QSqlQuery& row) {
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
  const QByteArray snapshot = row.value(9).toByteArray();
  event.snapshot.assign(snapshot.constData(), static_cast<std::size_t>(snapshot.size()));
  return event;
}

}  // namespace

SqlStore::SqlStore(StoreLocation location, SqlStoreOptions options)
    : location_(std::move(location)), options_(options), connection_(NewConnectionName()) {}

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
    db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(options_.connectTimeoutSeconds));
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
  if (!postgres) {
    // A write-ahead log: a record appends to it without waiting for the disk
    // twice, and readers never block the writer. A file that cannot switch
    // (read-only) keeps its journal; the record then says why it failed.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
  }
  std::string why;
  if (!MigrateSchema(db, location_.kind, &why)) {
    db.close();
    *error = where + why;
    return false;
  }
  open_ = true;
  return true;
}

RecordOutcome SqlStore::Record(const Event& event) {
  RecordOutcome outcome;
  if (!Prepare(&outcome.error)) return outcome;
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  QSqlQuery query(db);
  const auto fail = [&](const QSqlError& error) {
    outcome.error = "cannot record in the history database " + location_.Describe() + ": " + ErrorText(error);
    Drop();
    return outcome;
  };
  // One statement is its own transaction: no BEGIN and COMMIT around it,
  // which would cost a server across a network two more round trips.
  query.prepare(QStringLiteral(
      "INSERT INTO events (serial, model, event_time, user_name, operation, result, detail, file, "
      "snapshot) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"));
  for (const std::string* text : {&event.serial, &event.model, &event.time, &event.user, &event.operation,
                                  &event.result, &event.detail, &event.file}) {
    query.addBindValue(ToQString(*text));
  }
  query.addBindValue(AsBytes(event.snapshot));
  if (!query.exec() || !query.next()) return fail(query.lastError());
  const std::int64_t id = query.value(0).toLongLong();
  query.finish();
  outcome.recorded = true;
  outcome.id = id;
  return outcome;
}

std::vector<InstrumentSummary> SqlStore::Instruments(std::string* error) {
  std::vector<InstrumentSummary> instruments;
  if (!Prepare(error)) return instruments;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  const bool ok = query.exec(QStringLiteral(
      "SELECT e.serial,"
      " (SELECT m.model FROM events m WHERE m.serial = e.serial AND m.model <> ''"
      "  ORDER BY m.event_time DESC, m.id DESC LIMIT 1),"
      " MAX(e.event_time),"
      " MAX(CASE WHEN e.operation = 'read' AND e.result = 'ok' THEN e.event_time END),"
      " MAX(CASE WHEN e.operation IN ('zero', 'span') AND e.result = 'ok' THEN e.event_time END)"
      " FROM events e GROUP BY e.serial ORDER BY e.serial"));
  if (!ok) {
    *error = ErrorText(query.lastError());
    Drop();
    return instruments;
  }
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
  const QString all = QStringLiteral("SELECT %1 FROM events ORDER BY event_time, id").arg(QLatin1String(kEventColumns));
  const QString one =
      QStringLiteral("SELECT %1 FROM events WHERE serial = ? ORDER BY event_time, id").arg(QLatin1String(kEventColumns));
  query.prepare(serial ? one : all);
  if (serial) query.addBindValue(ToQString(*serial));
  if (!query.exec()) {
    *error = ErrorText(query.lastError());
    Drop();
    return events;
  }
  while (query.next()) events.push_back(EventFromRow(query));
  return events;
}

std::optional<Event> SqlStore::EventById(std::int64_t id, std::string* error) {
  if (!Prepare(error)) return std::nullopt;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.prepare(QStringLiteral("SELECT %1 FROM events WHERE id = ?").arg(QLatin1String(kEventColumns)));
  query.addBindValue(QVariant::fromValue<qlonglong>(id));
  if (!query.exec()) {
    *error = ErrorText(query.lastError());
    Drop();
    return std::nullopt;
  }
  if (!query.next()) {
    *error = "no event " + std::to_string(id) + " in the history";
    return std::nullopt;
  }
  return EventFromRow(query);
}

}  // namespace kv::history
