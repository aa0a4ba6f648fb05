#pragma once
// The history's tables, the same for SQLite and PostgreSQL, as a list of
// forward migrations. `schema_version` holds every migration applied; the
// missing ones are applied in one transaction that also keeps a second
// program from migrating at the same time.
#include <QSqlDatabase>
#include <string>

#include "history/history_location.h"

namespace kv::history {

// The newest schema this program knows.
int KnownSchemaVersion();

// Brings the open database `db` of `kind` up to KnownSchemaVersion(). False
// with `error` set when that fails or the database is newer than this program.
bool MigrateSchema(QSqlDatabase& db, StoreKind kind, std::string* error);

// The version the database holds: 0 for an empty database, -1 with `error`
// set when it cannot be read.
int StoredSchemaVersion(QSqlDatabase& db, std::string* error);

}  // namespace kv::history
