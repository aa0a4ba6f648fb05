#include "ops/backup.h"

#include <system_error>

#include "files/backup_name.h"
#include "files/file_sink.h"
#include "files/kvd_writer.h"

namespace kv::ops {
namespace {

BackupResult Written(const clsInstrument& record, AtomicFileSink& sink) {
  BackupResult result;
  const KvdWriteResult written = WriteMaintenanceFile(record, sink);
  if (sink.AllNamesTaken()) {
    result.allNamesTaken = true;
    result.error = "all " + std::to_string(kBackupNamesPerDay) + " backup names of the day are taken";
  } else if (!written.ok) {
    result.error = written.error;
    result.path = sink.CommittedPath();
  } else {
    result.path = sink.CommittedPath();
  }
  return result;
}

}  // namespace

std::vector<std::string> InstrumentBackupPaths(const std::filesystem::path& folder, const DateTime& day,
                                               const std::string& serial) {
  std::string tag;
  for (const char c : serial) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.';
    tag += plain ? c : '_';
  }
  if (tag.empty() || tag.find_first_not_of('_') == std::string::npos) tag = "noserial";
  std::string stem = BackupFileName(day, 0);
  stem = stem.substr(0, stem.size() - 4) + "_" + tag;
  std::vector<std::string> paths;
  for (int number = 0; number < kBackupNamesPerDay; ++number) {
    paths.push_back((folder / (number == 0 ? stem + ".kvd" : stem + "_" + std::to_string(number) + ".kvd")).string());
  }
  return paths;
}

BackupResult WriteBackup(const clsInstrument& record, const std::vector<std::string>& names) {
  if (!names.empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(names.front()).parent_path(), ignored);
  }
  AtomicFileSink sink = AtomicFileSink::FirstFreeName(names);
  return Written(record, sink);
}

BackupResult WriteDatedBackup(const clsInstrument& record, const std::filesystem::path& folder,
                              const DateTime& day) {
  return WriteBackup(record, BackupPaths(folder, day));
}

BackupResult WriteBackupTo(const clsInstrument& record, const std::filesystem::path& path) {
  AtomicFileSink sink(path.string());
  BackupResult result = Written(record, sink);
  result.path = path.string();
  return result;
}

}  // namespace kv::ops
