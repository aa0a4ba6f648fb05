#include "historydb/sql_schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <vector>

#include "qtedge/latin1.h"

namespace kv::history {
namespace {

// Column types that differ between the two databases; everything else is
// the same text.
struct Dialect {
  const char* serialKey;  // an automatically numbered primary key
  const char* bytes;      // a byte string of any size
};

constexpr Dialect kSqlite{"INTEGER PRIMARY KEY AUTOINCREMENT", "BLOB"};
constexpr Dialect kPostgres{"BIGSERIAL PRIMARY KEY", "BYTEA"};

// Migration n (1-based) is entry n - 1. Never change an entry once released:
// add the next one.
std::vector<std::vector<QString>> Migrations(const Dialect& dialect) {
  return {
      {QStringLiteral("CREATE TABLE events ("
                      " id %1,"
                      " serial TEXT NOT NULL,"
                      " model TEXT NOT NULL,"
                      " event_time TEXT NOT NULL,"
                      " user_name TEXT NOT NULL,"
                      " operation TEXT NOT NULL,"
                      " result TEXT NOT NULL,"
                      " detail TEXT NOT NULL,"
                      " file TEXT NOT NULL,"
                      " snapshot %2)")
           .arg(QLatin1String(dialect.serialKey), QLatin1String(dialect.bytes)),
       QStringLiteral("CREATE INDEX events_by_serial ON events (serial, event_time, id)")},
  };
}

std::string ErrorText(const QSqlError& error) { return ToLatin1(error.text()); }

bool Exec(QSqlQuery& query, const QString& statement, std::string* error) {
  if (query.exec(statement)) return true;
  *error = ErrorText(query.lastError());
  return false;
}

bool Rollback(QSqlDatabase& db, std::string* error, std::string why) {
  QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
  *error = std::move(why);
  return false;
}

}  // namespace

int KnownSchemaVersion() { return static_cast<int>(Migrations(kSqlite).size()); }

int StoredSchemaVersion(QSqlDatabase& db, std::string* error) {
  QSqlQuery query(db);
  if (!Exec(query, QStringLiteral("SELECT MAX(version) FROM schema_version"), error)) {
    // No table yet is an empty database; anything else is an error.
    return db.tables().contains(QStringLiteral("schema_version")) ? -1 : 0;
  }
  if (!query.next()) return 0;
  return query.value(0).isNull() ? 0 : query.value(0).toInt();
}

bool MigrateSchema(QSqlDatabase& db, StoreKind kind, std::string* error) {
  std::string ignored;
  if (StoredSchemaVersion(db, &ignored) == KnownSchemaVersion()) return true;

  // SQLite: take the write lock at once; PostgreSQL: a lock of the history's own.
  QSqlQuery query(db);
  const bool postgres = kind == StoreKind::PostgreSQL;
  if (!Exec(query, postgres ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"), error)) {
    return false;
  }
  if (postgres &&
      !Exec(query, QStringLiteral("SELECT pg_advisory_xact_lock(7158322104)"), error)) {
    return Rollback(db, error, *error);
  }
  if (!Exec(query, QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"),
            error)) {
    return Rollback(db, error, *error);
  }
  // Read again under the lock: another program may have just migrated.
  if (!Exec(query, QStringLiteral("SELECT MAX(version) FROM schema_version"), error)) {
    return Rollback(db, error, *error);
  }
  const int stored = query.next() && !query.value(0).isNull() ? query.value(0).toInt() : 0;
  const std::vector<std::vector<QString>> migrations = Migrations(postgres ? kPostgres : kSqlite);
  const int known = static_cast<int>(migrations.size());
  if (stored > known) {
    return Rollback(db, error,
                    "the history database has schema version " + std::to_string(stored) +
                        ", newer than this program's " + std::to_string(known));
  }
  for (int version = stored + 1; version <= known; ++version) {
    for (const QString& statement : migrations[static_cast<std::size_t>(version - 1)]) {
      if (!Exec(query, statement, error)) {
        return Rollback(db, error, "migration " + std::to_string(version) + " failed: " + *error);
      }
    }
    if (!Exec(query, QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(version),
              error)) {
      return Rollback(db, error, *error);
    }
  }
  if (!Exec(query, QStringLiteral("COMMIT"), error)) return Rollback(db, error, *error);
  return true;
}

}  // namespace kv::history
