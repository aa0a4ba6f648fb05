#include "files/backup_name.h"

#include <cstdio>
#include <system_error>

namespace kv {

std::string BackupFileName(const DateTime& day, int number) {
  char text[48];
  if (number <= 0) {
    std::snprintf(text, sizeof text, "%04d%02d%02d.kvd", day.year, day.month, day.day);
  } else {
    std::snprintf(text, sizeof text, "%04d%02d%02d_%d.kvd", day.year, day.month, day.day, number);
  }
  return text;
}

std::optional<std::filesystem::path> NextBackupPath(const std::filesystem::path& backupFolder,
                                                    const DateTime& day) {
  for (int number = 0; number < kBackupNamesPerDay; ++number) {
    std::filesystem::path candidate = backupFolder / BackupFileName(day, number);
    std::error_code error;
    // A name whose existence cannot be checked counts as taken: never risk
    // overwriting a backup.
    const bool exists = std::filesystem::exists(candidate, error);
    if (!error && !exists) return candidate;
  }
  return std::nullopt;
}

}  // namespace kv
