#include "rules/edit_check.h"

#include <cmath>
#include <cstdio>

#include "common/name_text.h"

namespace kv::rules {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string RangeReason(std::string_view lowest, std::string_view highest) {
  return "accepts " + std::string(lowest) + " to " + std::string(highest);
}

// Enough digits for every value a grid holds, few enough to stay exact.
constexpr std::size_t kMaxDigits = 15;

}  // namespace

EditCheck EditCheck::Accept(std::string text, std::optional<double> number) {
  EditCheck check;
  check.accepted = true;
  check.text = std::move(text);
  check.number = number;
  return check;
}

EditCheck EditCheck::Refuse(std::string reason) {
  EditCheck check;
  check.reason = std::move(reason);
  return check;
}

bool RefusedAsNotEdited(const EditCheck& check) {
  if (check.accepted) return false;
  for (const std::string_view reason : {kNotEditable, kNoSuchListEntry, kNoEditingRule, kLevelNotEditable}) {
    if (check.reason == reason) return true;
  }
  return false;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

ChoiceItems SplitChoices(std::string_view joined) {
  ChoiceItems items;
  while (true) {
    const std::size_t bar = joined.find('|');
    items.emplace_back(joined.substr(0, bar));
    if (bar == std::string_view::npos) return items;
    joined.remove_prefix(bar + 1);
  }
}

std::string JoinChoices(std::span<const std::string> items) {
  std::string joined;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) joined += '|';
    joined += items[i];
  }
  return joined;
}

std::optional<ParsedNumber> ParseNumber(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  long long mantissa = 0;
  std::size_t digits = 0;
  int decimals = 0;
  bool point = false;
  for (const char c : text) {
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9' || ++digits > kMaxDigits) return std::nullopt;
    mantissa = mantissa * 10 + (c - '0');
    if (point) ++decimals;
  }
  if (digits == 0) return std::nullopt;
  // One division, correctly rounded: "0.49" gives exactly the literal 0.49.
  double value = static_cast<double>(mantissa) / std::pow(10.0, decimals);
  if (negative) value = -value;
  return ParsedNumber{value, decimals};
}

std::string NumberText(double value, int decimals) {
  // Whole steps of the last place, so no locale decides the decimal point.
  const double scale = std::pow(10.0, decimals);
  // No locale reaches these digits either; a value no record really holds
  // (infinite, or beyond whole steps) is still shown, never undefined.
  if (!std::isfinite(value) || std::fabs(value) * scale >= 9e18) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
  }
  const long long steps = std::llround(std::fabs(value) * scale);
  const auto unit = static_cast<long long>(scale);
  std::string text = std::to_string(steps / unit);
  if (decimals > 0) {
    const std::string fraction = std::to_string(steps % unit);
    text += '.' + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
  }
  return (value < 0 && steps != 0) ? "-" + text : text;
}

EditCheck CheckWholeNumber(std::string_view text, long lowest, long highest) {
  const std::optional<ParsedNumber> parsed = ParseNumber(text);
  const bool whole = parsed && parsed->value == std::floor(parsed->value);
  if (!whole || parsed->value < static_cast<double>(lowest) ||
      parsed->value > static_cast<double>(highest)) {
    return EditCheck::Refuse(RangeReason(std::to_string(lowest), std::to_string(highest)));
  }
  const auto value = static_cast<long>(parsed->value);
  return EditCheck::Accept(std::to_string(value), static_cast<double>(value));
}

EditCheck CheckNumber(std::string_view text, double lowest, double highest, int decimals) {
  const std::optional<ParsedNumber> parsed = ParseNumber(text);
  if (!parsed || parsed->decimals > decimals || parsed->value < lowest || parsed->value > highest) {
    std::string reason = RangeReason(NumberText(lowest, decimals), NumberText(highest, decimals));
    if (decimals > 0) reason += " in steps of " + NumberText(std::pow(10.0, -decimals), decimals);
    return EditCheck::Refuse(std::move(reason));
  }
  return EditCheck::Accept(NumberText(parsed->value, decimals), parsed->value);
}

EditCheck CheckRoundedNumber(std::string_view text, double lowest, double highest, int decimals) {
  const std::optional<ParsedNumber> parsed = ParseNumber(text);
  if (!parsed || parsed->value < lowest || parsed->value > highest) {
    return EditCheck::Refuse(
        RangeReason(NumberText(lowest, decimals), NumberText(highest, decimals)));
  }
  return EditCheck::Accept(NumberText(parsed->value, decimals), parsed->value);
}

EditCheck CheckWholeFactor(std::string_view text, double lowest, double highest) {
  const auto first = static_cast<long>(std::ceil(lowest));
  const auto last = static_cast<long>(std::floor(highest));
  std::string reason =
      "accepts " + NumberText(lowest, 2) + " to " + NumberText(highest, 2) + ", held as a whole number";
  if (first > last) return EditCheck::Refuse(reason + ": no factor fits");
  reason += " (" + std::to_string(first) + (first == last ? "" : " to " + std::to_string(last)) + ")";
  const std::optional<ParsedNumber> parsed = ParseNumber(text);
  if (!parsed || parsed->value < lowest || parsed->value > highest) return EditCheck::Refuse(reason);
  const double whole = std::nearbyint(parsed->value);
  if (whole != parsed->value) {
    return EditCheck::Refuse(reason + "; " + NumberText(parsed->value, parsed->decimals) +
                             " would be stored as " + NumberText(whole, 2));
  }
  return EditCheck::Accept(NumberText(whole, 2), whole);
}

EditCheck CheckName(std::string_view text, std::size_t maxLength, bool allowSymbols,
                    bool allowQuote) {
  // These names travel padded with blanks and come back trimmed: blanks at
  // either end are no part of the name.
  if (allowSymbols) text = Trim(text);
  if (text.size() <= maxLength && IsValidText(text, allowSymbols, allowQuote)) {
    return EditCheck::Accept(std::string(text));
  }
  std::string reason = "accepts up to " + std::to_string(maxLength) + " characters: ";
  if (!allowSymbols) {
    reason += "A-Z, 0-9, '-' and inner blanks";
  } else {
    reason += allowQuote ? "printable ASCII except {, }, comma and semicolon"
                         : "printable ASCII except {, }, ', comma and semicolon";
  }
  return EditCheck::Refuse(std::move(reason));
}

EditCheck CheckShortName(std::string_view text) {
  // Padded to three characters on the line, a short name comes back without
  // trailing blanks.
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return CheckName(text, 3, false, true);
}

EditCheck CheckLongName(std::string_view text) { return CheckName(text, 20, true, true); }

int ChoiceIndex(std::string_view text, std::span<const std::string> items) {
  const std::string_view wanted = Trim(text);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (EqualsIgnoringCase(Trim(items[i]), wanted)) return static_cast<int>(i);
  }
  return -1;
}

EditCheck CheckChoice(std::string_view text, std::span<const std::string> items) {
  const int index = ChoiceIndex(text, items);
  if (index < 0) {
    std::string reason = "one of: ";
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (i > 0) reason += ", ";
      reason += Trim(items[i]);
    }
    return EditCheck::Refuse(std::move(reason));
  }
  return EditCheck::Accept(items[static_cast<std::size_t>(index)], index);
}

}  // namespace kv::rules
