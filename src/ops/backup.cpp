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
