#include "historydb/sql_schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <utility>
#include <vector>

#include "qtedge/latin1.h"

namespace kv::history {
namespace {

// Column types that differ between the two databases; everything else is
// the same text.
struct Dialect {
  const char* serialKey;  // an automatically numbered primary key
  const char* bytes;      // a byte string of any size
  const char* newUid;     // an expression giving each existing row a uid of its own
};

constexpr Dialect kSqlite{"INTEGER PRIMARY KEY AUTOINCREMENT", "BLOB", "lower(hex(randomblob(16)))"};
constexpr Dialect kPostgres{"BIGSERIAL PRIMARY KEY", "BYTEA", "md5(random()::text || id::text)"};

std::string ErrorText(const QSqlError& error) { return ToLatin1(error.text()); }

bool Exec(QSqlQuery& query, const QString& statement, std::string* error) {
  if (query.exec(statement)) return true;
  *error = ErrorText(query.lastError());
  return false;
}


// Snapshots written before compression: compressed in place, row by row.
bool CompressStoredSnapshots(QSqlDatabase& db, std::string* error) {
  QSqlQuery rows(db);
  rows.setForwardOnly(true);
  if (!Exec(rows, QStringLiteral("SELECT id, snapshot FROM events WHERE snapshot_format = 0"
                                 " AND snapshot IS NOT NULL AND length(snapshot) > 0"),
            error)) {
    return false;
  }
  std::vector<std::pair<qlonglong, QByteArray>> converted;
  while (rows.next()) {
    converted.emplace_back(rows.value(0).toLongLong(), CompressSnapshot(rows.value(1).toByteArray()));
  }
  rows.finish();
  QSqlQuery update(db);
  update.prepare(QStringLiteral("UPDATE events SET snapshot = ?, snapshot_format = %1 WHERE id = ?")
                     .arg(kSnapshotCompressed));
  for (const auto& [id, bytes] : converted) {
    update.addBindValue(bytes);
    update.addBindValue(id);
    if (!update.exec()) {
      *error = ErrorText(update.lastError());
      return false;
    }
  }
  return true;
}

struct Migration {
  std::vector<QString> statements;
  bool (*convert)(QSqlDatabase& db, std::string* error) = nullptr;  // after the statements
};

// Migration n (1-based) is entry n - 1. Never change an entry once released:
// add the next one.
std::vector<Migration> Migrations(const Dialect& dialect) {
  return {
      {{QStringLiteral("CREATE TABLE events ("
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
        QStringLiteral("CREATE INDEX events_by_serial ON events (serial, event_time, id)")}},
      // Store and forward: each event's uid (kept once wherever it is
      // forwarded), which events wait to be forwarded (those recorded before
      // count as done), snapshots compressed, and an index for the latest
      // read of an instrument.
      {{QStringLiteral("ALTER TABLE events ADD COLUMN uid TEXT"),
        QStringLiteral("UPDATE events SET uid = %1").arg(QLatin1String(dialect.newUid)),
        QStringLiteral("CREATE UNIQUE INDEX events_by_uid ON events (uid)"),
        QStringLiteral("ALTER TABLE events ADD COLUMN forwarded INTEGER NOT NULL DEFAULT 1"),
        QStringLiteral("CREATE INDEX events_to_forward ON events (id) WHERE forwarded = 0"),
        QStringLiteral("ALTER TABLE events ADD COLUMN snapshot_format INTEGER NOT NULL DEFAULT 0"),
        QStringLiteral("CREATE INDEX events_by_operation ON events (serial, operation, event_time, id)")},
       CompressStoredSnapshots},
  };
}

bool Rollback(QSqlDatabase& db, std::string* error, std::string why) {
  QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
  *error = std::move(why);
  return false;
}

}  // namespace

QByteArray CompressSnapshot(const QByteArray& plain) { return qCompress(plain, 9); }

std::optional<QByteArray> ExpandSnapshot(const QByteArray& stored, int format) {
  if (format == kSnapshotPlain || stored.isEmpty()) return stored;
  if (format != kSnapshotCompressed) return std::nullopt;
  QByteArray plain = qUncompress(stored);
  if (plain.isEmpty()) return std::nullopt;
  return plain;
}

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
  const std::vector<Migration> migrations = Migrations(postgres ? kPostgres : kSqlite);
  const int known = static_cast<int>(migrations.size());
  if (stored > known) {
    return Rollback(db, error,
                    "the history database has schema version " + std::to_string(stored) +
                        ", newer than this program's " + std::to_string(known));
  }
  for (int version = stored + 1; version <= known; ++version) {
    const Migration& migration = migrations[static_cast<std::size_t>(version - 1)];
    for (const QString& statement : migration.statements) {
      if (!Exec(query, statement, error)) {
        return Rollback(db, error, "migration " + std::to_string(version) + " failed: " + *error);
      }
    }
    if (migration.convert != nullptr && !migration.convert(db, error)) {
      return Rollback(db, error, "migration " + std::to_string(version) + " failed: " + *error);
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
