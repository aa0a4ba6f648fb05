#pragma once
// Reading maintenance data files for the commands, with the errors said the
// same way everywhere: "FILE:LINE: reason" on stderr.
#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/kvd_reader.h"
#include "model/instrument.h"

namespace kv::cli {

// The whole file as bytes; nullopt after printing why it cannot be read,
// also for a file larger than any maintenance file (kMaxMaintenanceFileBytes).
std::optional<std::string> ReadWholeFile(const QString& path);

// The lines of a text, ended by CR LF, LF or CR; a final line end adds no
// empty line.
std::vector<std::string_view> SplitLines(std::string_view content);

// Loads a maintenance data file into `record` through the file reader, line
// by line. False after printing the file name, and the line number where the
// load stopped.
bool LoadMaintenanceFile(clsInstrument& record, const QString& path);

// True for a complete load; otherwise prints where and why it stopped.
bool ReportLoad(const QString& path, const KvdLoadResult& loaded);

// A file to be written into the instrument, checked whole before the port is
// touched: it must load completely and hold only lines the instrument takes.
// nullopt after printing each problem with its line and "nothing was sent".
std::optional<std::string> ReadFileToSend(const QString& path);

// The maintenance data file a command writes into the instrument.
struct FileToSend {
  QString path;
  std::string content;
  // Reads and checks `path` (ReadFileToSend); false after saying why.
  bool Read(const QString& givenPath);
};

// What the instrument holds (`current`) with the settings of a checked file
// put over it; the change flags mark exactly what the file sets.
clsInstrument FileOverRecord(const clsInstrument& current, const std::string& checkedContent);

// "FILE:LINE: reason" on stderr (":LINE" left out for 0).
void PrintFileError(const QString& path, int line, std::string_view reason);

}  // namespace kv::cli
