#pragma once
// The maintenance data file writer: 341 scrambled record texts in the file's
// record order, each ended by CR LF, built with the write-line builders.
#include <string>
#include <vector>

#include "files/file_sink.h"
#include "model/instrument.h"

namespace kv {

struct KvdWriteResult {
  bool ok = false;
  std::string error;  // what failed, when not ok
};

// The 341 record texts, unscrambled, in file order.
std::vector<std::string> MaintenanceRecordTexts(const clsInstrument& r);

// Writes the file through `sink` and commits it; a failure stops at once and
// leaves the commit undone. Every record is written whatever the change and
// validity flags say.
KvdWriteResult WriteMaintenanceFile(const clsInstrument& r, FileSink& sink);

// The same into `path`, replacing it only when everything was written.
KvdWriteResult WriteMaintenanceFile(const clsInstrument& r, const std::string& path);

// The bytes the maintenance data file of `r` holds.
std::string MaintenanceFileText(const clsInstrument& r);

}  // namespace kv
