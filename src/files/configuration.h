#pragma once
// The program's configuration file, KVMaintenance.ini. Only its font settings
// take effect; the link keeps fixed retry, time-out and delay values whatever
// the [Communication] section says.
#include <string>
#include <string_view>

namespace kv {

inline constexpr std::string_view kConfigurationFileName = "KVMaintenance.ini";

struct FontSettings {
  std::string name = "Arial";
  float size = 9;
  bool bold = false, italic = false, underline = false;
};

struct LinkSettings {
  int retry = 3;
  int timeout = 3;  // seconds
  int delay = 0;
};

struct Configuration {
  FontSettings font;
  // [Maintenance] VerifyAfterTransmit: read the instrument again after a
  // Transmit and compare what it holds with what was sent.
  bool verifyAfterTransmit = true;
  LinkSettings link;
  std::string error;  // why a missing file could not be created ("" otherwise)
};

// The file in `folder` (a "/" is added unless the folder ends with one).
std::string ConfigurationPath(std::string_view folder);

// Writes the eleven keys with their default values, in table order.
bool WriteDefaultConfiguration(const std::string& path, std::string* error);

// Creates the file with its defaults when it is missing, then reads the font.
// A font value that is missing or malformed keeps its default; a file that
// cannot be created leaves every setting at its default.
Configuration LoadConfiguration(std::string_view folder);

// [History]: Enabled (default True) and Database, where the history is kept:
// empty for the SQLite file in the data folder, a postgresql:// URL or an
// SQLite file.
struct HistorySettings {
  bool enabled = true;
  std::string database;
};
// Reads the section of the file in `folder` without creating the file.
HistorySettings LoadHistorySettings(std::string_view folder);

// Keeps the verify option in the file of `folder`; false with `error` set
// when the file could not be written.
bool SaveVerifyAfterTransmit(std::string_view folder, bool verify, std::string* error);

}  // namespace kv
