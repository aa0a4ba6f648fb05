#pragma once
// kvmaint history's subcommands that work on recorded snapshots.
#include <QString>
#include <string>

#include "history/history_store.h"

namespace kv::cli {

// history diff ID ID: the settings that differ between two snapshots.
int DiffSnapshots(history::Store& store, const QString& first, const QString& second, bool json);
// history export --serial S DIR: every snapshot of the instrument as a file.
int ExportSnapshots(history::Store& store, const std::string& serial, const QString& folder);
// history restore ID FILE.kvd: the snapshot as a maintenance data file.
int RestoreSnapshot(history::Store& store, const QString& id, const QString& path);

}  // namespace kv::cli
