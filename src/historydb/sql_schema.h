#pragma once
// The history's tables, the same for SQLite and PostgreSQL, as a list of
// forward migrations. `schema_version` holds every migration applied; the
// missing ones are applied in one transaction that also keeps a second
// program from migrating at the same time.
#include <QByteArray>
#include <QSqlDatabase>
#include <optional>
#include <string>

#include "history/history_location.h"

namespace kv::history {

// How a snapshot is stored (the events.snapshot_format column).
inline constexpr int kSnapshotPlain = 0;       // the file's bytes (stores before version 2)
inline constexpr int kSnapshotCompressed = 1;  // qCompress (zlib) of them

QByteArray CompressSnapshot(const QByteArray& plain);
// The file's bytes of a stored snapshot; nullopt for one that does not expand.
std::optional<QByteArray> ExpandSnapshot(const QByteArray& stored, int format);

// The newest schema this program knows.
int KnownSchemaVersion();

// Brings the open database `db` of `kind` up to KnownSchemaVersion(). False
// with `error` set when that fails or the database is newer than this program.
bool MigrateSchema(QSqlDatabase& db, StoreKind kind, std::string* error);

// The version the database holds: 0 for an empty database, -1 with `error`
// set when it cannot be read.
int StoredSchemaVersion(QSqlDatabase& db, std::string* error);

}  // namespace kv::history
