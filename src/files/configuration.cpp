#include "files/configuration.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include <sys/stat.h>

#include "common/clock.h"
#include "files/file_sink.h"
#include "files/ini_file.h"
#include "protocol/field_parse.h"

namespace kv {
namespace {

constexpr std::string_view kFontSection = "Font";

struct DefaultKey {
  std::string_view section, key, value;
};
// A new file holds these keys in this order.
constexpr std::array<DefaultKey, 11> kDefaultKeys{{
    {"Communication", "Setting", "TRUE,4,115200,E,8,1"},
    {"Communication", "Address", "0000"},
    {"Communication", "DelimiterCode", "04"},
    {"Communication", "Timeout", "3"},
    {"Communication", "Retry", "3"},
    {"Communication", "Delay", "0"},
    {kFontSection, "Name", "Arial"},
    {kFontSection, "Size", "9"},
    {kFontSection, "Bold", "False"},
    {kFontSection, "Italic", "False"},
    {kFontSection, "Underline", "False"},
}};

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::string LowerText(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// "True" and "False" in any letter case, or a whole number (0 is false).
std::optional<bool> BooleanWord(std::string_view text) {
  const std::string word = LowerText(Trim(text));
  if (word == "true") return true;
  if (word == "false") return false;
  if (const auto number = ParseDec32(word)) return *number != 0;
  return std::nullopt;
}

std::optional<float> FontSize(std::string_view text) {
  const std::string number = Trim(text);
  float size = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), size);
  if (number.empty() || result.ec != std::errc{} ||
      result.ptr != number.data() + number.size() || !std::isfinite(size) || size <= 0.0F) {
    return std::nullopt;
  }
  return size;
}

void ReadBoolean(const IniFile& file, std::string_view key, bool& value,
                 std::string_view section = kFontSection) {
  if (const auto word = BooleanWord(file.Get(section, key, ""))) value = *word;
}

bool IsControlByte(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

// A blank line, a comment, a [section] or a key=value line.
bool IsIniLine(std::string_view line) {
  if (line.find_first_not_of(" \t") == std::string_view::npos) return true;
  const std::string trimmed = Trim(line);
  return trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#' ||
         (trimmed.front() == '[' && trimmed.find(']') != std::string::npos) ||
         trimmed.find('=') != std::string::npos;
}

// "KVMaintenance.ini.corrupt-20261210-171500", then "...-2" and on.
std::string AsideName(const std::string& path, const DateTime& now, int attempt) {
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, ".corrupt-%04d%02d%02d-%02d%02d%02d", now.year, now.month,
                now.day, now.hour, now.minute, now.second);
  return path + stamp + (attempt > 1 ? "-" + std::to_string(attempt) : "");
}

// Gives the damaged file a further name that no other file has; "" with
// `error` set when that failed.
std::string KeepAside(const std::string& path, const DateTime& now, std::string* error) {
  const FileSystemCalls calls = FileSystemCalls::Posix();
  for (int attempt = 1; attempt <= 100; ++attempt) {
    const std::string aside = AsideName(path, now, attempt);
    if (calls.linkNew(path.c_str(), aside.c_str()) == 0) return aside;
    if (errno != EEXIST) {
      *error = "cannot keep " + path + " as " + aside + ": " + std::strerror(errno);
      return {};
    }
  }
  *error = "cannot keep " + path + " aside: every name of this second is taken";
  return {};
}

constexpr std::string_view kMaintenanceSection = "Maintenance";
constexpr std::string_view kVerifyKey = "VerifyAfterTransmit";

}  // namespace

std::string ConfigurationPath(std::string_view folder) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  return path + std::string(kConfigurationFileName);
}

bool WriteDefaultConfiguration(const std::string& path, std::string* error) {
  IniFile file;
  for (const auto& entry : kDefaultKeys) file.Set(entry.section, entry.key, entry.value);
  return file.Save(path, error);
}

std::string ConfigurationDamage(std::string_view text) {
  int line = 1;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const bool end = i == text.size() || text[i] == '\n' || text[i] == '\r';
    if (!end) {
      if (IsControlByte(static_cast<unsigned char>(text[i]))) {
        return "line " + std::to_string(line) + ": a control byte, no text";
      }
      continue;
    }
    if (!IsIniLine(text.substr(start, i - start))) {
      return "line " + std::to_string(line) + ": neither a [section] nor a key=value line";
    }
    // CR LF ends one line, as does a lone CR or LF.
    if (i < text.size() && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
    ++line;
  }
  return {};
}

Configuration LoadConfiguration(std::string_view folder) { return LoadConfiguration(folder, SystemClock().Now()); }

Configuration LoadConfiguration(std::string_view folder, const DateTime& now) {
  Configuration configuration;
  const std::string path = ConfigurationPath(folder);
  if (!FileExists(path) && !WriteDefaultConfiguration(path, &configuration.error)) {
    return configuration;
  }
  std::string unread;
  auto file = IniFile::Load(path, &unread);
  // A file too large for any configuration is damage too, found unread.
  if (!file && errno != EFBIG) return configuration;
  if (std::string damage = file ? ConfigurationDamage(file->Text()) : unread; !damage.empty()) {
    configuration.damage = std::move(damage);
    configuration.keptAs = KeepAside(path, now, &configuration.error);
    if (configuration.keptAs.empty() || !WriteDefaultConfiguration(path, &configuration.error)) {
      return configuration;
    }
    file = IniFile::Load(path);
    if (!file) return configuration;
  }
  FontSettings& font = configuration.font;
  if (const std::string name = file->Get(kFontSection, "Name", ""); !name.empty()) {
    font.name = name;
  }
  if (const auto size = FontSize(file->Get(kFontSection, "Size", ""))) font.size = *size;
  ReadBoolean(*file, "Bold", font.bold);
  ReadBoolean(*file, "Italic", font.italic);
  ReadBoolean(*file, "Underline", font.underline);
  ReadBoolean(*file, kVerifyKey, configuration.verifyAfterTransmit, kMaintenanceSection);
  return configuration;
}

HistorySettings LoadHistorySettings(std::string_view folder) {
  HistorySettings settings;
  const auto file = IniFile::Load(ConfigurationPath(folder));
  if (!file) return settings;
  constexpr std::string_view kHistorySection = "History";
  ReadBoolean(*file, "Enabled", settings.enabled, kHistorySection);
  settings.database = file->Get(kHistorySection, "Database", "");
  return settings;
}

bool SaveVerifyAfterTransmit(std::string_view folder, bool verify, std::string* error) {
  return WriteProfileString(kMaintenanceSection, kVerifyKey, verify ? "True" : "False",
                            ConfigurationPath(folder), error);
}

std::string LoadFleetPolicyFile(std::string_view folder) {
  return GetProfileString("Fleet", "PolicyFile", "", ConfigurationPath(folder));
}

bool SaveFleetPolicyFile(std::string_view folder, const std::string& path, std::string* error) {
  return WriteProfileString("Fleet", "PolicyFile", path, ConfigurationPath(folder), error);
}

}  // namespace kv
