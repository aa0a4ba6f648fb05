#pragma once
// A record as the history keeps it: the bytes of its maintenance data file.
#include <string>

#include "history/history_store.h"
#include "model/instrument.h"

namespace kv::history {

// The maintenance data file of `record`, as bytes.
std::string SnapshotOf(const clsInstrument& record);

// An event of `operation` for the instrument of `record` (serial and model
// filled in), stamped now by the user running the program.
Event EventFor(const clsInstrument& record, std::string operation);

}  // namespace kv::history
