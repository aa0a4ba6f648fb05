#include "files/backup_name.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include <unistd.h>

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

std::vector<std::string> BackupPaths(const std::filesystem::path& backupFolder, const DateTime& day) {
  std::vector<std::string> paths;
  paths.reserve(kBackupNamesPerDay);
  for (int number = 0; number < kBackupNamesPerDay; ++number) {
    paths.push_back((backupFolder / BackupFileName(day, number)).string());
  }
  return paths;
}

std::string BackupFolderProblem(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return "cannot be created: " + error.message();
  // Permissions alone do not tell (a read-only mount, an ACL): try it.
  std::string probe = (folder / ".write-test.XXXXXX").string();
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return std::string("cannot be written: ") + std::strerror(errno);
  ::close(fd);
  ::unlink(probe.c_str());
  return {};
}

}  // namespace kv
