#pragma once
// The maintenance data file writer: 341 scrambled record texts in the file's
// record order, each ended by CR LF, built with the write-line builders.
#include <optional>
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
// validity flags say. A record the reader would not read back the same (a
// comma or semicolon inside a name) is refused before anything is written.
KvdWriteResult WriteMaintenanceFile(const clsInstrument& r, FileSink& sink);

// The same into `path`, replacing it only when everything was written.
KvdWriteResult WriteMaintenanceFile(const clsInstrument& r, const std::string& path);

// How many commas the writer's record text of `code` holds ("XZ,W,01,NAME,"
// holds 4); nullopt for a code the file does not hold.
std::optional<std::size_t> WrittenFieldCount(std::string_view code);

// The bytes the maintenance data file of `r` holds, unchecked (for comparing
// and recording; WriteMaintenanceFile is the check before a file is made).
std::string MaintenanceFileText(const clsInstrument& r);

}  // namespace kv
