#include "files/send_check.h"

#include <algorithm>
#include <array>
#include <optional>

#include "rules/edit_check.h"
#include "rules/record_check.h"
#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "files/record_apply.h"
#include "protocol/field_parse.h"
#include "protocol/token.h"

namespace kv {
namespace {

enum class NameKind { Short, Long, ListEntry, Password };

struct NameField {
  std::string_view code;
  int field;  // data field, 0-based
  NameKind kind;
};

// Short names (gases, conversion and PID entries) take no symbols; long names
// and the station and user lists do, the apostrophe included.
constexpr std::array kNameFields{
    NameField{"XZ", 1, NameKind::ListEntry}, NameField{"XS", 1, NameKind::ListEntry},
    NameField{"LO", 1, NameKind::Long},      NameField{"LO", 2, NameKind::Short},
    NameField{"LB", 1, NameKind::Long},      NameField{"LB", 2, NameKind::Short},
    NameField{"LS", 1, NameKind::Long},      NameField{"LS", 2, NameKind::Short},
    NameField{"GN", 0, NameKind::Short},     NameField{"GN", 1, NameKind::Short},
    NameField{"GN", 2, NameKind::Short},     NameField{"GN", 3, NameKind::Short},
    NameField{"GN", 4, NameKind::Short},     NameField{"GN", 5, NameKind::Short},
    // GJ is never sent, but its names replace those of GN before it.
    NameField{"GJ", 0, NameKind::Short},     NameField{"GJ", 4, NameKind::Short},
    NameField{"GJ", 8, NameKind::Short},     NameField{"GJ", 12, NameKind::Short},
    NameField{"GJ", 16, NameKind::Short},    NameField{"GJ", 20, NameKind::Short},
    NameField{"GJ", 24, NameKind::Short},    NameField{"BN", 0, NameKind::Long},
    NameField{"G1", 1, NameKind::Long},      NameField{"AQ", 0, NameKind::Password},
};

struct RangeField {
  std::string_view code;
  int field;
  bool hexadecimal;
  int lowest, highest;
  std::string_view what;
};

constexpr std::array kRangeFields{
    RangeField{"SC", 0, true, 0, 365, "calibration time limit"},
    RangeField{"XT", 0, true, 0, 255, "LCD backlight time"},
    RangeField{"UL", 0, true, 0, 15, "LCD contrast"},
};

constexpr std::size_t kPasswordDigits = 4;
constexpr std::size_t kListNameWidth = 16;

// The editors' own rule for each kind of name, with their words.
std::optional<std::string> NameProblem(NameKind kind, const std::string& name) {
  if (kind == NameKind::Password) {
    const bool digits = name.find_first_not_of("0123456789") == std::string::npos;
    if (name.empty() || (digits && name.size() == kPasswordDigits)) return std::nullopt;
    return "the password must be " + std::to_string(kPasswordDigits) + " digits";
  }
  const rules::EditCheck check = kind == NameKind::Short  ? rules::CheckShortName(name)
                                 : kind == NameKind::Long ? rules::CheckLongName(name)
                                                          : rules::CheckName(name, kListNameWidth, true, true);
  if (check.accepted) return std::nullopt;
  return check.reason;
}

bool IsPrintableAscii(std::string_view text) {
  for (const char c : text) {
    if (c < ' ' || c > '~') return false;
  }
  return true;
}

bool IsNameField(std::string_view code, int field) {
  for (const NameField& name : kNameFields) {
    if (name.code == code && name.field == field) return true;
  }
  return false;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

void SendCheck::CheckRecord(int lineNumber, std::string_view text) {
  if (const std::size_t semicolon = text.find(';'); semicolon != std::string_view::npos && semicolon > 0) {
    // The reader ends the line there (a line that starts with one is a
    // comment): what follows would never be sent.
    problems_.push_back({lineNumber, std::string(text.substr(0, 2)) +
                                         ": a semicolon ends the line inside a value"});
    return;
  }
  clsToken token;
  ConfigureRecordTokenizer(token);
  if (!token.SetSource(text) || token.TokenCount() == 0) return;
  const std::string code = Upper(token.Tokens(0));
  const auto field = [&token](int i) -> std::string {
    return i + 2 < token.TokenCount() ? token.Tokens(i + 2) : std::string();
  };
  const auto report = [&](int i, const std::string& why) {
    problems_.push_back({lineNumber, code + " field " + std::to_string(i + 1) + " (\"" + field(i) +
                                         "\"): " + why});
  };
  for (const NameField& name : kNameFields) {
    if (name.code != code) continue;
    if (const auto problem = NameProblem(name.kind, Trim(field(name.field)))) {
      report(name.field, *problem);
    }
  }
  // Any other field: a byte the line cannot carry back in the echo.
  for (int i = 0; i + 2 < token.TokenCount(); ++i) {
    if (!IsNameField(code, i) && !IsPrintableAscii(field(i))) {
      report(i, "a character outside printable ASCII, which the instrument does not echo");
    }
  }
  // A hand-edited name with a comma: the reader keeps its first part and
  // the instrument would get that, so the line is refused whole.
  const std::optional<std::size_t> written = WrittenFieldCount(code);
  const auto commas = static_cast<std::size_t>(std::count(text.begin(), text.end(), ','));
  if (written && commas > *written) {
    problems_.push_back({lineNumber, code + ": more fields than the " + code +
                                         " line holds (a comma inside a name?)"});
  }
  for (const RangeField& range : kRangeFields) {
    if (range.code != code) continue;
    const std::string value = field(range.field);
    const auto parsed = range.hexadecimal ? ParseHex16(value) : ParseDec16(value);
    if (!parsed || *parsed < range.lowest || *parsed > range.highest) {
      report(range.field, "the " + std::string(range.what) + " must lie between " +
                              std::to_string(range.lowest) + " and " + std::to_string(range.highest));
    }
  }
}

std::vector<FileProblem> CheckFileToSend(std::string_view content) {
  clsInstrument scratch;
  SetRatioChannels(scratch);  // their decimal places scale the catalytic levels
  SendCheck check;
  const KvdLoadResult loaded = ReadMaintenanceText(
      scratch, content, [&check](int line, std::string_view text) { check.CheckRecord(line, text); });
  std::vector<FileProblem> problems = check.Problems();
  if (!loaded.complete) {
    problems.push_back({loaded.stoppedAtLine, loaded.reason});
    return problems;
  }
  SetRatioChannels(scratch);  // and their full scales follow from the file's catalytic gas
  // What the file sets (the reader raises their flags), judged as the editors judge it.
  for (const rules::SettingProblem& problem : rules::CheckRecord(scratch, rules::RecordScope::Changed)) {
    problems.push_back({0, problem.Describe()});
  }
  return problems;
}

}  // namespace kv
