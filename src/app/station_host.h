#pragma once
// What the station window needs from the program around it: where the
// backups go, the time, the program's own adapter and its link, and the
// other adapters plugged in. The main window gives it (station_entry.cpp);
// a test gives simulated lines.
#include <QString>
#include <QStringList>
#include <filesystem>
#include <memory>

#include "common/clock.h"

namespace kv {

class uclTzif;

// Another adapter's link, set up, opened and ticked for as long as it lives.
class StationAdapter {
 public:
  virtual ~StationAdapter() = default;
  virtual uclTzif& Link() = 0;
};

class StationHost {
 public:
  virtual ~StationHost() = default;
  // The backups and the run report go here.
  virtual std::filesystem::path BackupFolder() const = 0;
  virtual DateTime Now() const = 0;
  // The program's own adapter, as its tile names it.
  virtual QString OwnPort() const = 0;
  // The program's own link; null while a transaction or something else uses it.
  virtual uclTzif* FreeLink() = 0;
  // Every other adapter plugged in now (asked again every few seconds).
  virtual QStringList OtherAdapters() = 0;
  // Opens `port` for a run; null when it does not open.
  virtual std::unique_ptr<StationAdapter> OpenAdapter(const QString& port) = 0;
};

}  // namespace kv
