#pragma once
// The maintenance data file reader: unscrambles each line and applies it to a
// record through the setters (raising the change flags of what it loads).
// It does not clear the record first, and it does not recompute the ratio
// channels: both are the caller's choice.
//
// The load stops at the first line that cannot be applied; every record before
// it stays applied. The result says so, so that the caller can tell the user
// the file was only partly loaded. Blank lines carry no record and are passed
// over; lines with unknown codes and comment lines change nothing.
#include <string>
#include <string_view>

#include "model/instrument.h"

namespace kv {

struct KvdLoadResult {
  bool complete = false;
  int stoppedAtLine = 0;  // 1-based; 0 when complete or when the file could not be opened
  std::string reason;     // why the load stopped
};

KvdLoadResult ReadMaintenanceFile(clsInstrument& r, const std::string& path);

// The same for a file's content already in memory.
KvdLoadResult ReadMaintenanceText(clsInstrument& r, std::string_view content);

}  // namespace kv
