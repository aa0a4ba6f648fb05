#include "cli/cmd_history_snapshots.h"

#include <filesystem>

#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/setting_differences.h"
#include "files/kvd_reader.h"
#include "ops/service_snapshots.h"
#include "qtedge/data_folder.h"

namespace kv::cli {
namespace {

// The event with a snapshot that `idText` names; nullopt after saying why not.
std::optional<history::Event> SnapshotEvent(history::Store& store, const QString& idText) {
  bool ok = false;
  const qlonglong id = idText.toLongLong(&ok);
  if (!ok || id <= 0) {
    PrintError(QStringLiteral("\"%1\" is not an event number").arg(idText));
    return std::nullopt;
  }
  std::string error;
  std::optional<history::Event> event = store.EventById(id, &error);
  if (!event) {
    PrintError(error);
    return std::nullopt;
  }
  if (event->snapshot.empty()) {
    PrintError("event " + std::to_string(id) + " (" + event->operation + ") holds no settings");
    return std::nullopt;
  }
  return event;
}

// The snapshot loaded into `record`; false after saying why.
bool LoadSnapshot(const history::Event& event, clsInstrument& record) {
  const KvdLoadResult loaded = ReadMaintenanceText(record, event.snapshot);
  if (loaded.complete) return true;
  PrintError("the settings of event " + std::to_string(event.id) + " stop at line " +
             std::to_string(loaded.stoppedAtLine) + ": " + loaded.reason);
  return false;
}

bool WriteSnapshot(const history::Event& event, const std::string& path) {
  const ops::SnapshotRestore restore = ops::RestoreSnapshot(event.snapshot, path);
  if (restore.written) return true;
  const std::string id = std::to_string(event.id);
  if (!restore.loaded.complete) {
    PrintError("event " + id + " holds no readable maintenance file (it stops at line " +
               std::to_string(restore.loaded.stoppedAtLine) + ": " + restore.loaded.reason + "); " + path +
               " was not written");
    return false;
  }
  for (const FileProblem& problem : restore.problems) {
    PrintError("event " + id + ": " +
               (problem.line > 0 ? "line " + std::to_string(problem.line) + ": " : std::string()) +
               problem.reason);
  }
  PrintError(restore.problems.empty() ? "cannot write " + path + ": " + restore.writeError
                                      : path + " was not written");
  return false;
}

// "20261210_165400_12.kvd" from "2026-12-10 16:54:00" and id 12.
std::string SnapshotFileName(const history::Event& event) {
  std::string stamp;
  for (const char c : event.time) {
    if (c >= '0' && c <= '9') stamp += c;
    if (c == ' ') stamp += '_';
  }
  return stamp + "_" + std::to_string(event.id) + ".kvd";
}

}  // namespace

int DiffSnapshots(history::Store& store, const QString& first, const QString& second, bool json) {
  const std::optional<history::Event> a = SnapshotEvent(store, first);
  if (!a) return kExitUsage;
  const std::optional<history::Event> b = SnapshotEvent(store, second);
  if (!b) return kExitUsage;
  clsInstrument recordA;
  clsInstrument recordB;
  if (!LoadSnapshot(*a, recordA) || !LoadSnapshot(*b, recordB)) return kExitUsage;
  const DifferenceListing differences = ListDifferences(recordA, recordB, json);
  WriteStdout(differences.text);
  return differences.count == 0 ? kExitOk : kExitFailure;
}

int ExportSnapshots(history::Store& store, const std::string& serial, const QString& folder) {
  const std::filesystem::path dir = ToFsPath(folder);
  std::error_code made;
  std::filesystem::create_directories(dir, made);
  if (!std::filesystem::is_directory(dir)) {
    PrintError("cannot create the folder " + dir.string());
    return kExitUsage;
  }
  // The list reads no snapshot; each is read as it is written, one at a time.
  constexpr std::size_t kPage = 500;
  int written = 0;
  for (std::size_t offset = 0;; offset += kPage) {
    std::string error;
    const std::vector<history::Event> page = store.EventList(serial, offset, kPage, &error);
    if (!error.empty()) {
      PrintError(error);
      return kExitFailure;
    }
    for (const history::Event& listed : page) {
      if (!listed.hasSnapshot) continue;
      const std::optional<history::Event> event = store.EventById(listed.id, &error);
      if (!event) {
        PrintError(error);
        return kExitFailure;
      }
      const std::string path = (dir / SnapshotFileName(*event)).string();
      if (!WriteSnapshot(*event, path)) return kExitUsage;
      PrintLine(path);
      ++written;
    }
    if (page.size() < kPage) break;
  }
  if (written == 0) {
    PrintError("no settings recorded for serial number \"" + serial + "\"");
    return kExitFailure;
  }
  return kExitOk;
}

int RestoreSnapshot(history::Store& store, const QString& id, const QString& path) {
  const std::optional<history::Event> event = SnapshotEvent(store, id);
  if (!event) return kExitUsage;
  const std::string target = ToFsPath(path).string();
  if (!WriteSnapshot(*event, target)) return kExitUsage;
  PrintLine(target);
  return kExitOk;
}

}  // namespace kv::cli
