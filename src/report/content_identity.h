#pragma once
// Which instrument a maintenance data file belongs to, where the history
// knows: a file keeps no serial number, but a read's snapshot does. A file
// matches an instrument's latest read when it holds the same bytes (the
// backup of that read) or, failing that, the same settings (both read and
// written again give the same text).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/history_store.h"

namespace kv::report {

struct ContentIdentity {
  std::optional<history::Event> read;  // the one read matched, without its snapshot
  // Every instrument whose latest read matches; more than one names none.
  std::vector<std::string> serials;
  bool sameBytes = false;
};

// Asks the store for each instrument's latest read; `error` set when it could not be asked.
ContentIdentity IdentifyByContent(history::Store& store, std::string_view content, std::string* error);

// One line for a window or a terminal: "KORVIN S/N KV-1, read 2026-03-01
// 09:00:00 (the history's read)", or what the file lacks and why.
std::string IdentityText(const ContentIdentity& identity);

}  // namespace kv::report
