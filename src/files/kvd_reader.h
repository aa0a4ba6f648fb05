#pragma once
// The maintenance data file reader: unscrambles each line and applies it to a
// record through the setters (raising the change flags of what it loads).
// It does not clear the record first, and it does not recompute the ratio
// channels: both are the caller's choice.
//
// The load stops at the first line that cannot be applied; every record before
// it stays applied. The result says so, so that the caller can tell the user
// the file was only partly loaded. Blank lines carry no record and are passed
// over; lines with unknown codes and comment lines change nothing. A line with
// fewer fields than its record needs, or a last line without its line end, is
// a file cut short: the load stops there as well.
//
// Files are read line by line and never kept whole: a file far larger than
// any maintenance file (kMaxMaintenanceFileBytes) is refused once that much
// has been read, and so is a line longer than any record (kMaxLineBytes).
#include <cstddef>
#include <functional>
#include <istream>
#include <string>
#include <string_view>

#include "model/instrument.h"

namespace kv {

// A real file has 341 lines of at most a few hundred characters (about 40 KiB).
inline constexpr std::size_t kMaxMaintenanceFileBytes = 1024 * 1024;
inline constexpr std::size_t kMaxLineBytes = 4096;

struct KvdLoadResult {
  bool complete = false;
  int stoppedAtLine = 0;  // 1-based; 0 when complete or when the file could not be opened
  std::string reason;     // why the load stopped
};

// Called with each record text after its line was applied (line number, text).
using RecordTextObserver = std::function<void(int lineNumber, std::string_view text)>;

KvdLoadResult ReadMaintenanceFile(clsInstrument& r, const std::string& path,
                                  const RecordTextObserver& observer = {});

// The same from a stream (read up to the bounds above) or from a file's
// content already in memory.
KvdLoadResult ReadMaintenanceStream(clsInstrument& r, std::istream& in,
                                    const RecordTextObserver& observer = {});
KvdLoadResult ReadMaintenanceText(clsInstrument& r, std::string_view content,
                                  const RecordTextObserver& observer = {});

}  // namespace kv
