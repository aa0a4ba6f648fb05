#include "files/send_check.h"

#include <array>
#include <optional>

#include "common/name_text.h"
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

std::optional<std::string> NameProblem(NameKind kind, const std::string& name) {
  if (kind == NameKind::Password) {
    const bool digits = name.find_first_not_of("0123456789") == std::string::npos;
    if (name.empty() || (digits && name.size() == kPasswordDigits)) return std::nullopt;
    return "the password must be " + std::to_string(kPasswordDigits) + " digits";
  }
  const std::size_t width = kind == NameKind::Short ? 3 : kind == NameKind::Long ? 20 : 16;
  const bool symbols = kind != NameKind::Short;
  if (name.size() > width) {
    return "the name is longer than " + std::to_string(width) + " characters";
  }
  if (!IsValidText(name, symbols, true)) {
    return symbols ? "the name holds a character the instrument does not take"
                   : "the name may hold only A-Z, 0-9, \"-\" and inner blanks";
  }
  return std::nullopt;
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

}  // namespace kv
