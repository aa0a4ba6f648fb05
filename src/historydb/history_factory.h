#pragma once
// The one place that chooses and makes the history store, for kvmaint and the
// window alike: kvmaint's --history (a URL, a file or "off") when given, else
// the [History] section of the data folder's KVMaintenance.ini, else the
// SQLite file History.sqlite in the data folder.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "history/history_store.h"
#include "historydb/sql_store.h"

namespace kv::history {

struct ChosenHistory {
  std::unique_ptr<Store> store;  // null: recording is off, or `error`
  std::string error;             // why the choice names no usable store
};

// Makes the store without touching the database yet: it is opened on first
// use. It records through a store-and-forward recorder: into the SQLite file
// (the one named, or the data folder's History.sqlite when a PostgreSQL URL is
// named), then forwarded to the server; queries ask the server when there is one.
ChosenHistory ChooseHistoryStore(const std::optional<std::string>& option,
                                 const std::filesystem::path& dataFolder,
                                 const SqlStoreOptions& timings = {});

}  // namespace kv::history
