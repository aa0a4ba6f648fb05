#pragma once
// The backup kept after every read, written here only: the window's Get,
// kvmaint get and station mode. A dated backup claims the first free name of
// the day once it is complete (a hard link, never a replace), so two reads
// into one folder never share a file.
#include <filesystem>
#include <string>
#include <vector>

#include "common/datetime.h"
#include "model/instrument.h"

namespace kv::ops {

struct BackupResult {
  std::string path;           // the file written
  std::string error;          // "" when written
  bool allNamesTaken = false;  // every name of the series exists already
};

// Writes `record` under the first free name of `names` (created folders
// included); the dated series is BackupPaths(folder, day).
BackupResult WriteBackup(const clsInstrument& record, const std::vector<std::string>& names);
// The day's dated backup in `folder`.
BackupResult WriteDatedBackup(const clsInstrument& record, const std::filesystem::path& folder,
                              const DateTime& day);
// Station mode's series, so that a line of more than 100 instruments a day
// fits: "yyyyMMdd_<serial>.kvd", then "_1" ... "_99" per instrument, the
// serial's characters outside letters, digits, '-' and '.' as '_'
// ("noserial" for a blank one).
std::vector<std::string> InstrumentBackupPaths(const std::filesystem::path& folder, const DateTime& day,
                                               const std::string& serial);

// The backup written to the file `path` names (kvmaint get --output).
BackupResult WriteBackupTo(const clsInstrument& record, const std::filesystem::path& path);

}  // namespace kv::ops
