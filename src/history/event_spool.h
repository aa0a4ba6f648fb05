#pragma once
// Events a run could not write into its busy local history, kept as one small
// file each in a folder beside it (written and renamed into place: never
// waits for a lock), and written into the history by the next run's
// recorder. Each file carries the event's uid, so an event written twice is
// kept once.
#include <string>
#include <vector>

#include "history/history_store.h"

namespace kv::history {

// The spool folder of the SQLite history at `historyPath`.
std::string SpoolFolderOf(const std::string& historyPath);

// Keeps `event` (with its uid) in `folder`, made when missing; false with
// `error` set.
bool SpoolEvent(const std::string& folder, const Event& event, std::string* error);

struct SpooledEvent {
  std::string path;  // its file, removed once the event is written
  Event event;
};

// The events kept in `folder`, oldest first; files that are not whole events
// (a run killed while writing one) are left out.
std::vector<SpooledEvent> SpooledEvents(const std::string& folder);

}  // namespace kv::history
