#pragma once
// A small INI file with the private-profile rules: section and key names
// match in any letter case, a missing key gives the caller's default, a value
// is cut at 255 characters (and at a NUL), and a write updates the key in
// place, keeping every other line and its order. Lines end with CR LF and
// values are written as given, unquoted.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class IniFile {
 public:
  static constexpr std::size_t kMaxValueLength = 255;
  // A real configuration holds a few dozen short lines; a file past this is
  // refused unread (errno EFBIG) rather than taken into memory.
  static constexpr std::size_t kMaxFileBytes = 256 * 1024;

  // Lines may end with CR LF, LF or CR.
  static IniFile Parse(std::string_view text);
  // Empty when the file cannot be read (a missing file included) or is
  // larger than kMaxFileBytes; `error` (when given) says why, naming the file
  // and, for a large one, its size.
  static std::optional<IniFile> Load(const std::string& path, std::string* error = nullptr);

  // The trimmed value; a value in matching quotes loses them.
  std::string Get(std::string_view section, std::string_view key,
                  std::string_view fallback) const;
  // Replaces the key's line, or adds the key at the end of its section, or
  // adds the section at the end of the file.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Text() const;
  // Replaces the file only when the whole text was written.
  bool Save(const std::string& path, std::string* error) const;

 private:
  std::vector<std::string> lines_;
};

// The two profile operations on a file, as the program uses them.
std::string GetProfileString(std::string_view section, std::string_view key,
                             std::string_view fallback, const std::string& path);
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path, std::string* error = nullptr);

}  // namespace kv
