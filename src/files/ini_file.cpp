#include "files/ini_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include <sys/stat.h>

#include "files/file_sink.h"
#include "protocol/field_parse.h"

namespace kv {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string> SectionName(std::string_view line) {
  const std::string trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const auto close = trimmed.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(std::string_view(trimmed).substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  const std::string trimmed = Trim(line);
  return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

// Key and raw value of a "key=value" line.
std::optional<std::pair<std::string, std::string>> KeyLine(std::string_view line) {
  if (IsComment(line) || SectionName(line)) return std::nullopt;
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return std::pair{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::string ProfileValue(std::string value) {
  if (const auto nul = value.find('\0'); nul != std::string::npos) value.resize(nul);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > IniFile::kMaxValueLength) value.resize(IniFile::kMaxValueLength);
  return value;
}

std::string KeyText(std::string_view key, std::string_view value) {
  return std::string(key) + "=" + std::string(value);
}

}  // namespace

IniFile IniFile::Parse(std::string_view text) {
  IniFile file;
  while (!text.empty()) {
    const auto end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      file.lines_.emplace_back(text);
      break;
    }
    file.lines_.emplace_back(text.substr(0, end));
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (crlf ? 2 : 1));
  }
  return file;
}

std::optional<IniFile> IniFile::Load(const std::string& path, std::string* error) {
  // errno stays what failed: callers tell a missing file by it.
  const auto fail = [&](const std::string& why) -> std::optional<IniFile> {
    const int cause = errno;
    if (error != nullptr) *error = why;
    errno = cause;
    return std::nullopt;
  };
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) return fail("cannot read " + path + ": " + std::strerror(errno));
  const auto tooLarge = [&](const std::string& size) {
    errno = EFBIG;
    return fail(path + " is " + size + " bytes, larger than any configuration file (" +
                std::to_string(kMaxFileBytes / 1024) + " KiB)");
  };
  struct stat info {};
  if (::fstat(::fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::uint64_t>(info.st_size) > kMaxFileBytes) {
    return tooLarge(std::to_string(info.st_size));
  }
  std::string text;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    text.append(buffer, got);
    // A file that grows while read, or a pipe, is bounded too.
    if (text.size() > kMaxFileBytes) return tooLarge("more than " + std::to_string(kMaxFileBytes));
  }
  if (std::ferror(file.get()) != 0) return fail("cannot read " + path + ": " + std::strerror(errno));
  return Parse(text);
}

std::string IniFile::Get(std::string_view section, std::string_view key,
                         std::string_view fallback) const {
  bool inSection = false;
  for (const auto& line : lines_) {
    if (const auto name = SectionName(line)) {
      inSection = SameName(*name, section);
      continue;
    }
    if (!inSection) continue;
    if (const auto entry = KeyLine(line); entry && SameName(entry->first, key)) {
      return ProfileValue(entry->second);
    }
  }
  return ProfileValue(std::string(fallback));
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::optional<std::size_t> sectionLine;
  std::size_t lastLineOfSection = 0;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (const auto name = SectionName(lines_[i])) {
      if (sectionLine) break;  // the next section begins
      if (SameName(*name, section)) {
        sectionLine = i;
        lastLineOfSection = i;
      }
      continue;
    }
    if (!sectionLine) continue;
    if (const auto entry = KeyLine(lines_[i]); entry && SameName(entry->first, key)) {
      lines_[i] = KeyText(key, value);
      return;
    }
    if (!Trim(lines_[i]).empty()) lastLineOfSection = i;
  }
  if (!sectionLine) {
    // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict on
    // "[" + std::string + "]".
    std::string header(1, '[');
    header.append(section).push_back(']');
    lines_.push_back(std::move(header));
    lines_.push_back(KeyText(key, value));
    return;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastLineOfSection + 1),
                KeyText(key, value));
}

std::string IniFile::Text() const {
  std::string text;
  for (const auto& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

bool IniFile::Save(const std::string& path, std::string* error) const {
  AtomicFileSink sink(path);
  if (sink.Write(Text()) && sink.Commit()) return true;
  if (error != nullptr) *error = sink.Error();
  return false;
}

std::string GetProfileString(std::string_view section, std::string_view key,
                             std::string_view fallback, const std::string& path) {
  const auto file = IniFile::Load(path);
  return file ? file->Get(section, key, fallback) : ProfileValue(std::string(fallback));
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path, std::string* error) {
  std::string why;
  auto file = IniFile::Load(path, &why);
  if (!file) {
    // A file that exists but cannot be read is never replaced by one key.
    if (errno != ENOENT) {
      if (error != nullptr) *error = why;
      return false;
    }
    file = IniFile{};
  }
  file->Set(section, key, value);
  return file->Save(path, error);
}

}  // namespace kv
