#pragma once
// Where the report command and the history window find the instrument
// history, and the snapshot a report of a serial number is made from.
#include <optional>
#include <string>

#include "files/kvd_reader.h"
#include "history/history_store.h"

namespace kv::report {

// The latest successful read of `serial` that kept a snapshot; nullopt with
// `error` set when the history has none (or could not be asked).
std::optional<history::Event> LatestReadSnapshot(history::Store& store, const std::string& serial,
                                                 std::string* error);

// Loads the settings an event's snapshot holds into `record`, with the event's
// serial number (a maintenance data file keeps none).
KvdLoadResult LoadSnapshot(const history::Event& event, clsInstrument& record);

}  // namespace kv::report
