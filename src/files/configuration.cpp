#include "files/configuration.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>

#include <sys/stat.h>

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

Configuration LoadConfiguration(std::string_view folder) {
  Configuration configuration;
  const std::string path = ConfigurationPath(folder);
  if (!FileExists(path) && !WriteDefaultConfiguration(path, &configuration.error)) {
    return configuration;
  }
  const auto file = IniFile::Load(path);
  if (!file) return configuration;
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

}  // namespace kv
