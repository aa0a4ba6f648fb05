#include "files/kvd_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "files/record_apply.h"
#include "files/record_fields.h"
#include "files/scramble.h"
#include "protocol/field_parse.h"

namespace kv {
namespace {

// Conversion levels are readings with the catalytic channel's decimal places,
// but the file holds them before the GP record that gives those places. The
// reader notes each level line and decodes the levels again once the places
// it used turn out to have changed.
struct LevelLine {
  int index;
  std::string warn, alarm;
  int placesUsed;
};

void RedecodeLevels(clsInstrument& r, const std::vector<LevelLine>& levels) {
  const int places = r.GasPoint(0);
  for (const auto& level : levels) {
    if (level.placesUsed == places) continue;
    (void)r.SetLA_warn(level.index, record::DecodeReading(level.warn, places));
    (void)r.SetLA_alarm(level.index, record::DecodeReading(level.alarm, places));
  }
}

// The next line of `rest` (ended by CR LF, LF or CR), removed from it.
std::string_view TakeLine(std::string_view& rest) {
  const auto end = rest.find_first_of("\r\n");
  if (end == std::string_view::npos) {
    const auto line = rest;
    rest = {};
    return line;
  }
  const auto line = rest.substr(0, end);
  const bool crlf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
  rest.remove_prefix(end + (crlf ? 2 : 1));
  return line;
}

bool IsLevelLine(const clsToken& token) {
  if (token.TokenCount() == 0) return false;
  const std::string& code = token.Tokens(0);
  return code.size() == 2 && (code[0] == 'L' || code[0] == 'l') && (code[1] == 'A' || code[1] == 'a');
}

}  // namespace

KvdLoadResult ReadMaintenanceText(clsInstrument& r, std::string_view content) {
  clsToken token;
  ConfigureRecordTokenizer(token);
  std::vector<LevelLine> levels;
  KvdLoadResult result{true, 0, {}};
  int lineNumber = 0;
  while (!content.empty()) {
    const std::string_view line = TakeLine(content);
    ++lineNumber;
    if (line.empty()) continue;
    const auto text = UnscrambleLine(line);
    if (!text) {
      result = {false, lineNumber, "the line is not a scrambled record"};
      break;
    }
    const int placesBefore = r.GasPoint(0);
    std::string reason;
    if (!ApplyRecordText(r, token, *text, &reason)) {
      result = {false, lineNumber, reason};
      break;
    }
    if (IsLevelLine(token)) {
      if (const auto index = ParseHex16(token.Tokens(2))) {
        levels.push_back({*index, token.Tokens(3), token.Tokens(4), placesBefore});
      }
    }
  }
  RedecodeLevels(r, levels);
  return result;
}

KvdLoadResult ReadMaintenanceFile(clsInstrument& r, const std::string& path) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) {
    return {false, 0, "cannot open " + path + ": " + std::strerror(errno)};
  }
  std::string content;
  char buffer[8192];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    content.append(buffer, got);
  }
  if (std::ferror(file.get()) != 0) {
    return {false, 0, "cannot read " + path + ": " + std::strerror(errno)};
  }
  return ReadMaintenanceText(r, content);
}

}  // namespace kv
