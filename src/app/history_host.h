#pragma once
// What the History window needs of the main window: where its data folder
// is (KVMaintenance.ini with the [Fleet] keys), the time, and loading a
// snapshot into the grids. The main window implements it; tests may give
// their own.
#include <QString>
#include <filesystem>
#include <string>

#include "common/datetime.h"

namespace kv {

class HistoryHost {
 public:
  virtual ~HistoryHost() = default;
  // Loads a maintenance data file's text into the grids as Select loads a
  // file; `serial` names the instrument it is a snapshot of. False while busy.
  virtual bool LoadRecordText(const std::string& content, const QString& source, const std::string& serial) = 0;
  virtual const std::filesystem::path& DataFolder() const = 0;
  virtual DateTime Now() const = 0;
};

}  // namespace kv
