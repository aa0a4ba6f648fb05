#pragma once
// The program's configuration file, KVMaintenance.ini. Only its font settings
// take effect; the link keeps fixed retry, time-out and delay values whatever
// the [Communication] section says.
#include <string>
#include <string_view>

#include "common/datetime.h"

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
  std::string error;  // why a missing or damaged file could not be replaced ("" otherwise)
  // A damaged file (see ConfigurationDamage) replaced by the defaults: why it
  // was damaged and the name it is kept under; both "" when it was sound.
  std::string damage;
  std::string keptAs;
};

// The file in `folder` (a "/" is added unless the folder ends with one).
std::string ConfigurationPath(std::string_view folder);

// Writes the eleven keys with their default values, in table order.
bool WriteDefaultConfiguration(const std::string& path, std::string* error);

// Why `text` is no configuration file, "" when it is one: it holds bytes no
// text file holds (the NULs a power loss can leave, binary junk), or a line
// that is neither blank, a comment, a [section] nor a key=value line. The
// reason names the line ("line 3: ...").
std::string ConfigurationDamage(std::string_view text);

// Creates the file with its defaults when it is missing, then reads the font.
// A font value that is missing or malformed keeps its default; a file that
// cannot be created leaves every setting at its default. A damaged file is
// first kept aside as KVMaintenance.ini.corrupt-yyyyMMdd-hhmmss (with "-2",
// "-3" ... when that name is taken), never overwritten, and then replaced by
// the defaults; when it cannot be kept aside it stays as it is.
Configuration LoadConfiguration(std::string_view folder, const DateTime& now);
// The same at the machine's current time.
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

// [Fleet] PolicyFile: the company's maintenance data file the History
// window audits the fleet against, chosen once; "" when none was chosen.
std::string LoadFleetPolicyFile(std::string_view folder);
bool SaveFleetPolicyFile(std::string_view folder, const std::string& path, std::string* error);

}  // namespace kv
