#pragma once
// Names of the dated backups kept after every read: "yyyyMMdd.kvd", then
// "yyyyMMdd_1.kvd" ... "yyyyMMdd_99.kvd" in the Backup folder. The window and
// the command-line tool name backups through this one function.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/datetime.h"

namespace kv {

inline constexpr const char* kBackupFolderName = "Backup";
// Names tried per day: the bare date and the suffixes _1 to _99.
inline constexpr int kBackupNamesPerDay = 100;

// The file name of the `number`-th backup of `day` (0 gives the bare date).
std::string BackupFileName(const DateTime& day, int number);

// The first name of the day's series that does not exist yet in
// `backupFolder`; nullopt when all of them are taken. Only a forecast: two
// programs reading at the same time see the same name. Writing a backup
// claims its name atomically: AtomicFileSink::FirstFreeName(BackupPaths(...)).
// The folder itself is not created here.
std::optional<std::filesystem::path> NextBackupPath(const std::filesystem::path& backupFolder,
                                                    const DateTime& day);

// Every name of the day's series in `backupFolder`, in the order they are taken.
std::vector<std::string> BackupPaths(const std::filesystem::path& backupFolder, const DateTime& day);

// Why `folder` cannot take a backup ("" when it can), as "cannot be
// written: Permission denied" and the like: it is created when
// missing, then a file is created in it and removed again. Checked before a
// read, so that a read whose result could not be kept is not started.
std::string BackupFolderProblem(const std::filesystem::path& folder);

}  // namespace kv
